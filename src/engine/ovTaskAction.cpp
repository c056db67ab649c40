#include "engine/ovTaskAction.h"

#include <string>

#include "core/Integers.h"
#include "engine/ovTaskSearch.h"
#include "engine/ovWindowNames.h"
#include "gui/Application.h"
#include "gui/Window.h"

namespace {

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The element items of an element task; the action is then a click.
void TakeElementItems(const core::TaskItems& task, TovTaskTarget& target) {
  target.ElementName = task.Value(core::kElementNameKey);
  target.ElementRole = task.Value(core::kElementRoleKey);
  if (target.IsElement()) target.Action = TovTaskAction::Click;
}

}  // namespace

core::TaskItems TovTaskTarget::ElementItems() const {
  core::TaskItems items;
  items.Set(core::kElementNameKey, ElementName);
  items.Set(core::kElementRoleKey, ElementRole);
  return items;
}

TovTaskFinder::TovTaskFinder(const core::TaskItems& task) {
  Find(task);
  TakeElementItems(task, target_);
}

void TovTaskFinder::Find(const core::TaskItems& task) {
  target_.Key = core::ParseInt32Or0(task.Value(L"Key"));
  const std::wstring className = task.Value(L"Class");
  const std::wstring windowName = task.Value(L"Name");
  const std::wstring parentClass = task.Value(L"pClass");

  if (parentClass.empty()) {
    target_.Action = target_.Key != 0 ? TovTaskAction::Key : TovTaskAction::Close;
    target_.Window = ::FindWindowW(className.c_str(), windowName.c_str());
    return;
  }

  target_.Action = target_.Key != 0 ? TovTaskAction::Key : TovTaskAction::Click;
  const std::wstring parentName = task.Value(L"pName");
  const HWND top = ::FindWindowW(parentClass.c_str(), parentName.c_str());
  if (!top) return;
  const int32_t levels = core::ParseInt32Or0(task.Value(L"pLevels"));
  if (levels == 0) {
    target_.Window = ::FindWindowExW(top, nullptr, className.c_str(), windowName.c_str());
    return;
  }
  search_.emplace(top, levels, className, windowName);
}

bool TovTaskFinder::Continue(std::chrono::steady_clock::time_point deadline) {
  if (!search_) return true;
  if (!search_->Continue(deadline)) return false;
  target_.Window = search_->Found();
  search_.reset();
  return true;
}

TovTaskTarget FindTaskTarget(const core::TaskItems& task) {
  TovTaskFinder finder(task);
  finder.Continue(std::chrono::steady_clock::time_point::max());
  return finder.Target();
}

bool WindowIsNamed(HWND window, const std::wstring& className, const std::wstring& windowName) {
  return SameIgnoringCase(WindowClassName(window), className) &&
         SameIgnoringCase(StoredWindowTitle(window, windowName.size() + 1), windowName);
}

TovTaskTarget FindTaskTarget(const core::TaskItems& task, HWND top) {
  TovTaskTarget target = FindWindowTarget(task, top);
  TakeElementItems(task, target);
  return target;
}

TovTaskTarget FindWindowTarget(const core::TaskItems& task, HWND top) {
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

namespace {

// A task must never close or click the program that runs it: a hand-written line may well name one of its windows.
// Ours are the windows of this process that our window library made (forms and controls, the application's hidden
// owner) and every window inside or owned by one of them (tooltips, menus). Other windows of the process are left
// to the task, as windows of any other program are.
bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != ::GetCurrentProcessId()) return false;
  const HWND root = ::GetAncestor(window, GA_ROOTOWNER);
  return gui::Window::FromHandle(window) || gui::Window::FromHandle(root) ||
         root == gui::Application::Instance().OwnerWindow();
}

}  // namespace

bool ApplyTaskAction(const TovTaskTarget& target) {
  if (!target.Window || IsOwnWindow(target.Window)) return false;
  if (target.IsElement()) return FindTaskElement(target.Window, target.ElementItems(), true, kTaskElementLimits).acted;
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
