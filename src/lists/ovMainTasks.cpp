// The close-or-click task runner: on idle passes, now and then, the next task line in turn acts on its window.
#include <windows.h>

#include "app/ovMainForm.h"
#include "core/Integers.h"
#include "core/TaskLine.h"
#include "lists/ovTaskSearch.h"

namespace {

// One run in this many (on average) does work; the generator's fixed start makes the pace the same every run.
constexpr uint32_t kDrawRange = 7;

void PostKey(HWND window, int32_t key) {
  const WPARAM code = static_cast<WPARAM>(static_cast<uint32_t>(key));
  ::PostMessageW(window, WM_KEYDOWN, code, 0);
  ::PostMessageW(window, WM_KEYUP, code, 0);
}

}  // namespace

void TovFrmMain::RunNextTask() {
  if (grab.Grabbing) return;
  if (FTaskDraw.Draw(kDrawRange) != 0) return;
  const auto count = static_cast<int64_t>(FTaskList.size());
  if (FTaskIndex < 0 || FTaskIndex >= count) FTaskIndex = 0;
  if (FTaskIndex >= count) return;

  const core::TaskItems task = core::TaskItems::FromLine(FTaskList[static_cast<std::size_t>(FTaskIndex)]);
  // Each run uses up one line, whether or not its window is found.
  ++FTaskIndex;
  const int32_t key = core::ParseInt32Or0(task.Value(L"Key"));
  // Empty values are passed as empty strings, never as null: an empty Name asks for an empty title.
  const std::wstring className = task.Value(L"Class");
  const std::wstring windowName = task.Value(L"Name");
  const std::wstring parentClass = task.Value(L"pClass");

  if (parentClass.empty()) {
    const HWND window = ::FindWindowW(className.c_str(), windowName.c_str());
    if (!window) return;
    if (key != 0) {
      PostKey(window, key);
    } else {
      ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return;
  }

  const std::wstring parentName = task.Value(L"pName");
  const HWND top = ::FindWindowW(parentClass.c_str(), parentName.c_str());
  if (!top) return;
  const int32_t levels = core::ParseInt32Or0(task.Value(L"pLevels"));
  const HWND window = levels == 0 ? ::FindWindowExW(top, nullptr, className.c_str(), windowName.c_str())
                                  : FindTaskWindow(top, levels, className, windowName);
  if (!window) return;
  if (key != 0) {
    PostKey(window, key);
  } else if (::IsWindowEnabled(window)) {
    ::PostMessageW(window, WM_LBUTTONDOWN, 0, 0);
    ::PostMessageW(window, WM_LBUTTONUP, 0, 0);
  }
}
