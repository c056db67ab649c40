#include "engine/ovTaskAction.h"

#include <string>

#include "engine/ovHost.h"
#include "engine/ovTaskSearch.h"
#include "engine/ovWindowNames.h"

namespace {

// The element items of an element task; the action is then a click.
void TakeElementItems(const core::TaskDescription& task, TovTaskTarget& target) {
  target.ElementName = task.elementName;
  target.ElementRole = task.elementRole;
  if (target.IsElement()) target.Action = core::TaskAction::Click;
}

}  // namespace

core::TaskDescription TovTaskTarget::ElementTask() const {
  core::TaskDescription task;
  task.elementName = ElementName;
  task.elementRole = ElementRole;
  return task;
}

TovTaskFinder::TovTaskFinder(const core::TaskDescription& task) {
  target_.Action = task.Action();
  target_.Key = task.key;
  TakeElementItems(task, target_);
  if (!task.IsControl()) {
    target_.Window = ::FindWindowW(task.className.c_str(), task.name.c_str());
    return;
  }
  const HWND top = ::FindWindowW(task.parentClass.c_str(), task.parentName.c_str());
  if (!top) return;
  if (task.levels == 0) {
    target_.Window = ::FindWindowExW(top, nullptr, task.className.c_str(), task.name.c_str());
    return;
  }
  search_.emplace(top, task.levels, task.className, task.name);
}

bool TovTaskFinder::Continue(std::chrono::steady_clock::time_point deadline) {
  if (!search_) return true;
  if (!search_->Continue(deadline)) return false;
  target_.Window = search_->Found();
  search_.reset();
  return true;
}

TovTaskTarget FindTaskTarget(const core::TaskDescription& task) {
  TovTaskFinder finder(task);
  finder.Continue(std::chrono::steady_clock::time_point::max());
  return finder.Target();
}

bool WindowIsNamed(HWND window, const std::wstring& className, const std::wstring& windowName) {
  return SameTextIgnoringCase(WindowClassName(window), className) &&
         SameTextIgnoringCase(StoredWindowTitle(window, windowName.size() + 1), windowName);
}

TovTaskTarget FindTaskTarget(const core::TaskDescription& task, HWND top) {
  TovTaskTarget target;
  target.Action = task.Action();
  target.Key = task.key;
  TakeElementItems(task, target);
  if (!WindowIsNamed(top, task.TopClass(), task.TopName())) return target;
  if (!task.IsControl()) {
    target.Window = top;
  } else if (task.levels == 0) {
    target.Window = ::FindWindowExW(top, nullptr, task.className.c_str(), task.name.c_str());
  } else {
    target.Window = FindTaskWindow(top, task.levels, task.className, task.name);
  }
  return target;
}

bool ApplyTaskAction(const TovTaskTarget& target) {
  // A task must never close or click the program that runs it: a hand-written line may well name one of its windows.
  if (!target.Window || IsOwnWindow(target.Window)) return false;
  if (target.IsElement()) return FindTaskElement(target.Window, target.ElementTask(), true, kTaskElementLimits).acted;
  switch (target.Action) {
    case core::TaskAction::Key: {
      const WPARAM code = static_cast<WPARAM>(static_cast<uint32_t>(target.Key));
      ::PostMessageW(target.Window, WM_KEYDOWN, code, 0);
      ::PostMessageW(target.Window, WM_KEYUP, code, 0);
      return true;
    }
    case core::TaskAction::Close:
      ::PostMessageW(target.Window, WM_CLOSE, 0, 0);
      return true;
    case core::TaskAction::Click:
      if (!::IsWindowEnabled(target.Window)) return false;
      ::PostMessageW(target.Window, WM_LBUTTONDOWN, 0, 0);
      ::PostMessageW(target.Window, WM_LBUTTONUP, 0, 0);
      return true;
  }
  return false;
}
