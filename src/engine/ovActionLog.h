#pragma once
// The action log of the close-or-click tasks: every action either runner takes, appended as one line to a text
// file beside the executable (format and size bound in core/ActionLog.h). Each window is logged once per task line
// however often it is acted on.
#include <windows.h>

#include <cstddef>
#include <set>
#include <string>
#include <utility>

#include "engine/ovTaskAction.h"

class TovActionLog {
 public:
  void SetPath(std::wstring path) { path_ = std::move(path); }
  const std::wstring& Path() const { return path_; }

  // Logs that `target` was acted on for the task line with index `line` (from 0), unless that window was logged
  // for that line before. Never throws: the first write that fails in a run goes to the program's exception sink
  // (ovHost.h), later ones are dropped silently.
  void Record(std::size_t line, const TovTaskTarget& target) noexcept;

 private:
  // Appends the bytes; past the size bound, rewrites the file with its newer half. Throws base::Win32Error.
  void Append(const std::string& bytes);
  void ForgetClosedWindows();

  std::wstring path_;
  std::set<std::pair<HWND, std::size_t>> logged_;
  bool reported_ = false;
};
