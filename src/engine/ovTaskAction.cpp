#include "engine/ovTaskAction.h"

#include <string>

#include "core/Integers.h"
#include "engine/ovTaskSearch.h"
#include "engine/ovWindowNames.h"

namespace {

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

TovTaskTarget FindTaskTarget(const core::TaskItems& task) {
  TovTaskTarget target;
  target.Key = core::ParseInt32Or0(task.Value(L"Key"));
  const std::wstring className = task.Value(L"Class");
  const std::wstring windowName = task.Value(L"Name");
  const std::wstring parentClass = task.Value(L"pClass");

  if (parentClass.empty()) {
    target.Action = target.Key != 0 ? TovTaskAction::Key : TovTaskAction::Close;
    target.Window = ::FindWindowW(className.c_str(), windowName.c_str());
    return target;
  }

  target.Action = target.Key != 0 ? TovTaskAction::Key : TovTaskAction::Click;
  const std::wstring parentName = task.Value(L"pName");
  const HWND top = ::FindWindowW(parentClass.c_str(), parentName.c_str());
  if (!top) return target;
  const int32_t levels = core::ParseInt32Or0(task.Value(L"pLevels"));
  target.Window = levels == 0 ? ::FindWindowExW(top, nullptr, className.c_str(), windowName.c_str())
                              : FindTaskWindow(top, levels, className, windowName);
  return target;
}

bool WindowIsNamed(HWND window, const std::wstring& className, const std::wstring& windowName) {
  return SameIgnoringCase(WindowClassName(window), className) &&
         SameIgnoringCase(StoredWindowTitle(window, windowName.size() + 1), windowName);
}

TovTaskTarget FindTaskTarget(const core::TaskItems& task, HWND top) {
  TovTaskTarget target;
  target.Key = core::ParseInt32Or0(task.Value(L"Key"));
  const std::wstring className = task.Value(L"Class");
  const std::wstring windowName = task.Value(L"Name");
  const std::wstring parentClass = task.Value(L"pClass");

  if (parentClass.empty()) {
    target.Action = target.Key != 0 ? TovTaskAction::Key : TovTaskAction::Close;
    if (WindowIsNamed(top, className, windowName)) target.Window = top;
    return target;
  }

  target.Action = target.Key != 0 ? TovTaskAction::Key : TovTaskAction::Click;
  if (!WindowIsNamed(top, parentClass, task.Value(L"pName"))) return target;
  const int32_t levels = core::ParseInt32Or0(task.Value(L"pLevels"));
  target.Window = levels == 0 ? ::FindWindowExW(top, nullptr, className.c_str(), windowName.c_str())
                              : FindTaskWindow(top, levels, className, windowName);
  return target;
}

bool ApplyTaskAction(const TovTaskTarget& target) {
  if (!target.Window) return false;
  switch (target.Action) {
    case TovTaskAction::Key: {
      const WPARAM code = static_cast<WPARAM>(static_cast<uint32_t>(target.Key));
      ::PostMessageW(target.Window, WM_KEYDOWN, code, 0);
      ::PostMessageW(target.Window, WM_KEYUP, code, 0);
      return true;
    }
    case TovTaskAction::Close:
      ::PostMessageW(target.Window, WM_CLOSE, 0, 0);
      return true;
    case TovTaskAction::Click:
      if (!::IsWindowEnabled(target.Window)) return false;
      ::PostMessageW(target.Window, WM_LBUTTONDOWN, 0, 0);
      ::PostMessageW(target.Window, WM_LBUTTONUP, 0, 0);
      return true;
  }
  return false;
}
