#pragma once
// Errors of Win32 calls and the texts of errors.
#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>

namespace base {

// A Win32 call that failed. `what` says what was being done and names its object ("Cannot write \"C:\\x.ini\"");
// Message() adds the system's text and the code: "Cannot write \"C:\\x.ini\": Access denied (5)". what() is the
// same in UTF-8, for code that only knows std::exception.
class Win32Error : public std::runtime_error {
 public:
  Win32Error(const std::wstring& what, DWORD code);
  DWORD Code() const { return code_; }
  const std::wstring& Message() const { return message_; }

 private:
  std::wstring message_;
  DWORD code_;
};

// The message of an exception for reports: Win32Error's own text, std::exception's what() read as UTF-8, a fixed
// text for anything else. Empty for no exception.
std::wstring ExceptionMessage(std::exception_ptr error);

// The system's text for a Win32 error code, without the trailing line break ("" when it has none).
std::wstring SystemErrorText(unsigned long error);

}  // namespace base
