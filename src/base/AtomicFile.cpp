#include "base/AtomicFile.h"

#include <windows.h>

#include <algorithm>

#include "base/Error.h"
#include "base/Handles.h"

namespace base {
namespace {

// Another process writing the same file uses another name; a leftover of an earlier process with the same id is
// replaced.
std::wstring TemporaryNameFor(const std::wstring& path) {
  return path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".part";
}

[[noreturn]] void Fail(const std::wstring& path, DWORD code) {
  throw Win32Error(L"Cannot write \"" + path + L"\"", code);
}

// Deletes the temporary file unless it was moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (kept_) return;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(path_.c_str());
    ::SetLastError(error);
  }
  const std::wstring& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::wstring path_;
  bool kept_ = false;
};

}  // namespace

void WriteFileAtomically(const std::wstring& path, std::span<const std::uint8_t> bytes) {
  TemporaryFile temporary(TemporaryNameFor(path));
  {
    UniqueFile file(
        ::CreateFileW(temporary.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail(path, ::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      constexpr std::size_t kChunk = 1u << 20;
      const DWORD part = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
      DWORD written = 0;
      const bool wrote = ::WriteFile(file.get(), bytes.data() + done, part, &written, nullptr) != FALSE;
      // A write that succeeds with nothing written sets no error code of its own.
      if (!wrote) Fail(path, ::GetLastError());
      if (written == 0) Fail(path, ERROR_WRITE_FAULT);
      done += written;
    }
    if (!::FlushFileBuffers(file.get())) Fail(path, ::GetLastError());
  }  // closed before the move
  if (!::MoveFileExW(temporary.path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(path, ::GetLastError());
  }
  temporary.Keep();
}

}  // namespace base
