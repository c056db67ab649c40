#pragma once
// Files for tests: a private temporary folder, whole-file reads and writes, the test program's own folder.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fixture {

// Writes "<what>: <the system's reason for the last error> (<code>)" to standard error, where a harness step that
// failed says why (the test output shows it beside the failure it leads to).
void ReportFailure(const std::wstring& what);

// A fresh empty folder under the system's temporary folder, removed with everything in it when the object goes
// (files still in use, such as a loaded library, stay behind).
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name = L"skimlet-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }  // ends in "\"
  std::wstring File(const std::wstring& name) const { return path_ + name; }
  // The names of the entries in it (without "." and ".."), in the order the file system lists them, to see that
  // nothing was left behind.
  std::vector<std::wstring> FileNames() const;

 private:
  std::wstring path_;
};

// The whole file; empty when it cannot be read (check FileExists where empty and missing must differ).
std::string ReadFileBytes(const std::wstring& path);
// Creates or replaces the file with exactly these bytes; false when that failed.
[[nodiscard]] bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
[[nodiscard]] bool WriteFileBytes(const std::wstring& path, std::span<const std::uint8_t> bytes);
bool FileExists(const std::wstring& path);

// The folder of the running test program, ending with "\".
std::wstring ProgramFolder();
// The build's folder of the product files (skimlet.exe and the files beside it) as a full path ending with "\":
// <build>\bin\, the test programs living in <build>\tests\.
std::wstring BuiltProductFolder();

}  // namespace fixture
