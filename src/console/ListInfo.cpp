// "list" and "info": reading windows and printing them.
#include <string>
#include <vector>

#include "console/Commands.h"
#include "core/ConsoleFormat.h"
#include "engine/ovTargetText.h"
#include "engine/ovProcessRights.h"
#include "engine/ovWinUtils.h"
#include "engine/ovWindowFacts.h"

namespace {

// The windows "list" shows, in order: a window named by --handle or --task whatever its state; otherwise the
// top-level windows that meet the criteria (the hidden ones only with --all). With --all each is followed by its
// descendants.
std::vector<HWND> ListedWindows(const core::Command& command) {
  std::vector<HWND> matches;
  if (command.criteria.handle || command.criteria.task) {
    matches = MatchingWindows(command.criteria);
  } else {
    for (HWND window : TopLevelWindows(command.all)) {
      if (core::MatchesCriteria(ReadWindowFacts(window), command.criteria)) matches.push_back(window);
    }
  }
  if (!command.all) return matches;

  std::vector<HWND> listed;
  for (HWND window : matches) {
    if (listed.size() >= kMaxListedWindows) break;
    listed.push_back(window);
    for (HWND descendant : DescendantWindows(window)) {
      if (listed.size() >= kMaxListedWindows) break;
      listed.push_back(descendant);
    }
  }
  return listed;
}

}  // namespace

int RunList(Console& console, const core::Command& command) {
  std::vector<core::WindowFacts> windows;
  for (HWND window : ListedWindows(command)) windows.push_back(ReadWindowFacts(window));

  if (command.json) {
    console.out.WriteUtf8Line(core::FormatListJson(windows));
  } else {
    for (const core::WindowFacts& window : windows) console.out.WriteLine(core::FormatListLine(window));
  }
  // An empty list is a complete answer when nothing narrowed it; with criteria it means that nothing matched.
  if (windows.empty() && !command.criteria.IsEmpty()) return console.Fail(core::kExitNoWindow, kNoWindowMessage);
  return core::kExitDone;
}

int RunInfo(Console& console, const core::Command& command) {
  const std::vector<HWND> matches = MatchingWindows(command.criteria);
  if (matches.empty()) return console.Fail(core::kExitNoWindow, kNoWindowMessage);
  const HWND window = matches.front();

  TovWinUtils target;
  target.SetWnd(window);
  const std::vector<std::wstring> panel = TargetInfoLines(target);
  const core::WindowFacts facts = ReadWindowFacts(window);
  const core::WindowDetails details = ReadWindowDetails(target);

  if (command.json) {
    console.out.WriteUtf8Line(core::FormatInfoJson(panel, facts, details));
  } else {
    for (const std::wstring& line : core::BuildInfoOutput(panel, facts, details)) console.out.WriteLine(line);
  }
  if (RunsWithHigherRights(window)) console.err.WriteLine(kHigherRightsNews);
  return core::kExitDone;
}
