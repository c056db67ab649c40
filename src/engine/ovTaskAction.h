#pragma once
// What a close-or-click task line does: the window it names now and the action the runner takes on it. Both the
// tool window's runner and the console front end go through here, so they find and do exactly the same thing.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/TaskDescription.h"
#include "engine/ovElements.h"
#include "engine/ovTaskSearch.h"

struct TovTaskTarget {
  HWND Window = nullptr;  // nullptr: no window matches the line now
  core::TaskAction Action = core::TaskAction::Close;
  int32_t Key = 0;  // the virtual key, for core::TaskAction::Key
  // An element task (eName, eRole): Window holds the element, and the action clicks the element (its default
  // action) rather than the window. The texts are the task's items.
  std::wstring ElementName;
  std::wstring ElementRole;
  bool IsElement() const { return !ElementName.empty() || !ElementRole.empty(); }
  // The description that names the element alone.
  core::TaskDescription ElementTask() const;
};

// The walk that looks for a task's element on the interface thread: short, as each runner comes back for it.
inline constexpr TovElementLimits kTaskElementLimits{.budget = std::chrono::milliseconds(250)};

// Finds the window a task names. Without pClass: the top-level window with that class and title. With pClass: the
// top-level window named by pClass and pName, then under it the control with that class and title, among its
// direct children (pLevels 0) or by the levelled search. Empty values ask for empty texts, not for any.
TovTaskTarget FindTaskTarget(const core::TaskDescription& task);

// FindTaskTarget spread over calls that each end by a deadline, for the interface thread: the levelled search of a
// control task walks the tree a bounded time at a time and resumes on the next call. Top-level tasks and pLevels 0
// are found in the first call.
class TovTaskFinder {
 public:
  explicit TovTaskFinder(const core::TaskDescription& task);
  // True when the search is over; Target() then tells what to act on.
  bool Continue(std::chrono::steady_clock::time_point deadline);
  const TovTaskTarget& Target() const { return target_; }

 private:
  TovTaskTarget target_;
  std::optional<TovTaskWindowSearch> search_;
};

// The same, looking only at the top-level window `top`: the task's window when top is (a top-level task) or holds
// (a control task) it. Class names and titles compare as FindWindowW compares them, without regard to case.
TovTaskTarget FindTaskTarget(const core::TaskDescription& task, HWND top);

// Whether the window's class name and title are these, compared as FindWindowW compares them.
bool WindowIsNamed(HWND window, const std::wstring& className, const std::wstring& windowName);

// Posts the action to the target's window: WM_CLOSE, a left click (only while the control is enabled), or the
// key's down and up; for an element task, finds the element in the window and does its default action (or clicks
// its centre). False when nothing was done (no window, one of this program's own windows, a disabled control to
// click, or no such element now).
bool ApplyTaskAction(const TovTaskTarget& target);
