#pragma once
// Writing a snapshot file in one step: the bytes go to a temporary file beside the target, which then
// replaces the target, so a failed write never leaves a half-written file under the final name.
#include <windows.h>

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

// A snapshot file that could not be written. what() is UTF-8 and names the path and the system's reason.
class SnapFileError : public std::runtime_error {
 public:
  SnapFileError(const std::wstring& path, DWORD error);
  const std::wstring& Path() const { return path_; }
  DWORD Code() const { return code_; }

 private:
  std::wstring path_;
  DWORD code_;
};

// Writes `bytes` to a new temporary file in the folder of `path` and moves it over `path`
// (an existing file there is replaced). Throws SnapFileError; no temporary file is left behind.
void WriteFileReplacing(const std::wstring& path, std::span<const std::uint8_t> bytes);
