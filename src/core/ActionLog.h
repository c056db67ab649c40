#pragma once
// The action log of the close-or-click tasks: one line per action the runner took, in a UTF-8 text file beside the
// executable that is kept under a fixed size by dropping its older half.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/LocalTime.h"

namespace core {

// Past this many bytes the log is cut (KeepNewerHalf).
inline constexpr std::size_t kActionLogLimit = 1u << 20;

struct ActionLogEntry {
  LocalTime time;
  std::wstring action;         // "close", "click" or "key N"
  std::size_t lineNumber = 0;  // of the task line, from 1
  uint32_t handle = 0;
  std::wstring imageName;  // the process's image file name, such as "notepad.exe"
  std::wstring className;
  std::wstring title;
};

// "YYYY-MM-DD HH:MM:SS.mmm\t<action>\tline N\t0xHANDLE\t<image>\t<class>\t<title>\r\n" in UTF-8. Control
// characters in the texts are shown as spaces, so that every action stays one line of seven fields.
std::string FormatActionLogLine(const ActionLogEntry& entry);

// `lines` as appended after a log that ends with `logEnd` (its last bytes; empty for an empty log): behind a line
// ending of its own first when the log's last line has none.
std::string OnLineOfItsOwn(std::string_view logEnd, std::string_view lines);

// The newer half of a log: the lines that start at or after the middle of `log`. A line cut by the middle is dropped
// whole; a log of one line longer than half keeps nothing but that line when it ends the log.
std::string KeepNewerHalf(std::string_view log);

}  // namespace core
