// "element": the accessible element at a point, or a window's element tree.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "console/Commands.h"
#include "core/ConsoleFormat.h"
#include "core/ElementText.h"
#include "engine/ovElements.h"
#include "engine/ovTargetText.h"
#include "engine/ovWinUtils.h"
#include "engine/ovWindowFacts.h"

namespace {

constexpr wchar_t kNotAnswered[] = L"the program did not answer in time";
// Nothing waits on the console as on the tool window: its bound leaves room for a first call's set-up.
constexpr std::chrono::milliseconds kPointBound{2000};

// The task line that clicks the element: its host window's line with the element's items.
std::wstring ElementTask(const core::ElementFacts& element) {
  TovWinUtils host;
  host.SetWnd(reinterpret_cast<HWND>(static_cast<uintptr_t>(element.host)));
  if (!host.IsValid()) return {};
  return core::ElementTaskLine(core::TaskDescription::Parse(MakeTaskLine(host).Line), element);
}

int ElementAt(Console& console, const core::Command& command) {
  const TovElementRead read = ReadElementAt(POINT{command.at->x, command.at->y}, kPointBound);
  if (read.status == TovElementStatus::Blocked) return console.Fail(core::kExitActionFailed, kNotAnswered);
  if (read.status != TovElementStatus::Found) return console.Fail(core::kExitNoWindow, L"no element there");
  const std::wstring task = ElementTask(read.element);
  if (command.json) {
    console.out.WriteUtf8Line(core::FormatElementJson(read.element, task));
    return core::kExitDone;
  }
  for (const std::wstring& line : core::ElementLines(read.element)) console.out.WriteLine(line);
  console.out.WriteLine(L"Window=" + core::FormatHandle(read.element.host));
  console.out.WriteLine(L"Task=" + core::OneLine(task));
  return core::kExitDone;
}

}  // namespace

int RunElement(Console& console, const core::Command& command) {
  if (command.at) return ElementAt(console, command);
  const std::vector<HWND> matches = MatchingWindows(command.criteria);
  if (matches.empty()) return console.Fail(core::kExitNoWindow, kNoWindowMessage);
  const TovElementTree tree = ReadElementTree(matches.front());
  if (tree.status == TovElementStatus::Blocked) return console.Fail(core::kExitActionFailed, kNotAnswered);
  if (tree.elements.empty()) return console.Fail(core::kExitNoWindow, L"the window has no accessible elements");
  if (command.json) {
    console.out.WriteUtf8Line(core::FormatElementTreeJson(tree.elements));
  } else {
    for (const core::ElementFacts& element : tree.elements) console.out.WriteLine(core::ElementTreeLine(element));
  }
  return core::kExitDone;
}
