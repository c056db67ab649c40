#pragma once
// Exceptions of the Win32 layer and the texts of errors. Throw gui::Error with a wide message for errors meant for
// the user's report; throw gui::SilentAbort to abandon an event quietly (nothing is reported).
#include <exception>
#include <string>

namespace gui {

class Error : public std::exception {
 public:
  explicit Error(std::wstring message);
  const std::wstring& Message() const noexcept { return message_; }
  // UTF-8, for code that only knows std::exception.
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::wstring message_;
  std::string utf8_;
};

class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "silent abort"; }
};

// The message of an exception for reports: gui::Error's own text, std::exception's what() read as UTF-8,
// a fixed text for anything else. Empty for SilentAbort and for no exception.
std::wstring ExceptionMessage(std::exception_ptr error);

// The system's text for a Win32 error code, without the trailing line break ("" when it has none).
std::wstring SystemErrorText(unsigned long error);

// Whether a file (not a folder) exists at `path`.
bool FileExists(const std::wstring& path);

}  // namespace gui
