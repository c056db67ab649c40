#pragma once
// The action log of the close-or-click tasks: every action either runner takes, appended as one line to a text
// file beside the executable (format and size bound in core/ActionLog.h). Each window is logged once per task line
// however often it is acted on. A log that cannot be written is reported once and never stops the tasks.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "core/ActionLog.h"
#include "engine/ovTaskAction.h"

class TovActionLog {
 public:
  void SetPath(std::wstring path) { path_ = std::move(path); }
  const std::wstring& Path() const { return path_; }

  // Takes the task's action on `target` (ApplyTaskAction) for the task line with index `line` (from 0) and, when it
  // was taken, logs it unless that window was logged for that line before. The window's names are read before
  // acting: a window asked to close may be gone a moment later. Returns whether the action was taken.
  bool Act(std::size_t line, const TovTaskTarget& target);

  // Told once per run of the first write that failed, with the system's reason. Lines that could not be written
  // are kept (up to a bound) and written with the next line once the file can be written again.
  std::function<void(const std::wstring& message)> OnWriteError;

 private:
  void Record(const core::ActionLogEntry& entry) noexcept;
  // Appends the bytes on a line of their own; past the size bound, rewrites the file with its newer half. Throws
  // base::Win32Error.
  void Append(const std::string& lines);
  void ForgetClosedWindows();

  std::wstring path_;
  std::set<std::pair<HWND, std::size_t>> logged_;
  std::string unwritten_;  // lines whose write failed, oldest first
  bool reported_ = false;
};
