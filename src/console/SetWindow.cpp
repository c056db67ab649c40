// "set": the changes of the information panel's controls, made through the same target helper and its bounded
// waits.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "console/Commands.h"
#include "core/ConsoleFormat.h"
#include "core/Integers.h"
#include "engine/ovProcessRights.h"
#include "engine/ovWinUtils.h"
#include "engine/ovWindowFacts.h"

int RunSet(Console& console, const core::Command& command) {
  const std::vector<HWND> matches = MatchingWindows(command.criteria);
  if (matches.empty()) return console.Fail(core::kExitNoWindow, kNoWindowMessage);

  TovWinUtils target;
  target.SetWnd(matches.front());

  // In the order of the usage text; the first change the window does not take ends the command.
  const core::WindowChanges& changes = command.changes;
  std::vector<std::function<void()>> steps;
  if (changes.enable) steps.push_back([&] { target.SetEnabled(*changes.enable); });
  if (changes.show) steps.push_back([&] { target.SetVisible(*changes.show); });
  if (changes.topmost) steps.push_back([&] { target.SetTopmost(*changes.topmost); });
  if (changes.alpha) steps.push_back([&] { target.SetAlpha(*changes.alpha); });
  if (changes.rect) {
    steps.push_back([&] {
      const core::PixelRect& p = *changes.rect;
      // As the Set button reads the edit boxes: the far edges wrap like the panel's sums.
      target.SetWndRect({p.left, p.top, core::WrappingSum(p.left, p.width), core::WrappingSum(p.top, p.height)});
    });
  }
  for (const auto& step : steps) {
    step();
    if (!target.Answered()) {
      return console.Fail(core::kExitActionFailed, L"window " + core::FormatHandle(WindowHandleBits(target.Wnd)) +
                                                       L" does not answer (its thread did not respond within " +
                                                       std::to_wstring(TovWinUtils::kAnswerTimeoutMs) +
                                                       L" ms); the change was not made");
    }
    if (!target.Took()) {
      const std::wstring why = RunsWithHigherRights(target.Wnd) ? std::wstring(L" ") + kHigherRightsNews : L"";
      return console.Fail(core::kExitActionFailed, L"The window did not take the change." + why);
    }
  }
  console.out.WriteLine(core::FormatListLine(ReadWindowFacts(target.Wnd)));
  return core::kExitDone;
}
