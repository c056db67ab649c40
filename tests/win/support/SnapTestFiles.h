#pragma once
// Files for the snapshot and conversion tests: a private temporary folder, whole-file reads and writes.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace snaptest {

using Bytes = std::vector<std::uint8_t>;

// A new empty folder under the system's temporary folder, removed with its files when it goes
// (files still in use, such as a loaded library, stay behind).
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::wstring& path() const { return path_; }  // ends with "\"
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }
  std::vector<std::wstring> FileNames() const;

 private:
  std::wstring path_;
};

std::optional<Bytes> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const Bytes& bytes);
bool FileExists(const std::wstring& path);

// The folder of the running test program, ending with "\".
std::wstring ProgramFolder();

}  // namespace snaptest
