#include "engine/SnapFile.h"

#include "core/Unicode.h"
#include "gui/Error.h"
#include "gui/Handles.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {

std::string Describe(const std::wstring& path, DWORD error) {
  std::wstring text = L"Cannot write the file \"" + path + L"\": ";
  const std::wstring reason = gui::SystemErrorText(error);
  text += reason.empty() ? L"error " + std::to_wstring(error) : reason;
  return core::WideToUtf8(text);
}

// Unique within the process and unlikely to meet another process's temporary file.
std::wstring TemporaryNameFor(const std::wstring& path) {
  static std::atomic<unsigned> counter{0};
  return path + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".part";
}

// Deletes the temporary file unless it was moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!kept_) ::DeleteFileW(path_.c_str());
  }
  const std::wstring& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::wstring path_;
  bool kept_ = false;
};

}  // namespace

SnapFileError::SnapFileError(const std::wstring& path, DWORD error)
    : std::runtime_error(Describe(path, error)), path_(path), code_(error) {}

void WriteFileReplacing(const std::wstring& path, std::span<const std::uint8_t> bytes) {
  TemporaryFile temporary(TemporaryNameFor(path));
  {
    gui::UniqueFile file(
        ::CreateFileW(temporary.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw SnapFileError(path, ::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      constexpr std::size_t kChunk = 1u << 30;
      const DWORD part = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
      DWORD written = 0;
      if (!::WriteFile(file.get(), bytes.data() + done, part, &written, nullptr) || written != part) {
        const DWORD error = ::GetLastError();
        throw SnapFileError(path, error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
      }
      done += written;
    }
  }  // closed before the move
  if (!::MoveFileExW(temporary.path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    throw SnapFileError(path, ::GetLastError());
  }
  temporary.Keep();
}
