// The PNG conversion library beside skimlet.exe. Its one export turns a bitmap file into a lossless PNG with
// the core's encoder. Every bitmap is validated before it is read, and the PNG is written under a temporary
// name and renamed, so a bad input gives "false" and never a crash or half a file.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/PngEncoder.h"

extern "C" BOOLEAN WINAPI ConvertBMP2PNG(const wchar_t* bmpPath, const wchar_t* pngPath);

namespace {

constexpr LONGLONG kMaxBitmapBytes = 1ll << 30;  // larger than any screen capture we make
constexpr std::size_t kMaxWriteBytes = 1u << 26;  // per WriteFile call, whose count is 32 bits

// A file handle, closed when it goes.
class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { Close(); }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const bool closed = handle_ == INVALID_HANDLE_VALUE || ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// A read-only view of a whole file. Mapped rather than copied: the encoder reads each byte once, and under Wine
// filling fresh memory with 8 MB of bitmap took longer than the copy itself. The file is opened without write
// sharing, so no one can change or cut it while it is mapped.
class FileView {
 public:
  explicit FileView(const wchar_t* path)
      : file_(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr)) {
    LARGE_INTEGER size{};
    if (!file_ || !::GetFileSizeEx(file_.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxBitmapBytes) {
      return;
    }
    const HANDLE mapping = ::CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) return;
    view_ = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ::CloseHandle(mapping);  // the view keeps the mapping alive
    if (view_) size_ = static_cast<std::size_t>(size.QuadPart);
  }
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;
  ~FileView() {
    if (view_) ::UnmapViewOfFile(view_);
  }

  // Empty when the file could not be opened or mapped, is empty, or is larger than any capture.
  std::span<const std::uint8_t> bytes() const { return {static_cast<const std::uint8_t*>(view_), size_}; }

 private:
  File file_;
  void* view_ = nullptr;
  std::size_t size_ = 0;
};

// Creates or empties `path` and writes `bytes` into it; the file is closed on return.
bool WriteWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  File file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto part = static_cast<DWORD>(std::min(bytes.size() - at, kMaxWriteBytes));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data() + at, part, &written, nullptr) || written != part) return false;
    at += part;
  }
  return file.Close();
}

bool Convert(const wchar_t* bmpPath, const wchar_t* pngPath) {
  if (!bmpPath || !pngPath || !*bmpPath || !*pngPath) return false;
  std::vector<std::uint8_t> png;
  {
    const FileView bmp(bmpPath);
    if (bmp.bytes().empty()) return false;
    png = core::EncodeBmpAsPng(bmp.bytes());  // validates the bitmap first; empty when it is refused
  }  // the bitmap is closed before the PNG is written
  if (png.empty()) return false;

  const std::wstring temporary =
      std::wstring(pngPath) + L"." + std::to_wstring(::GetCurrentProcessId()) + L".part";
  if (WriteWholeFile(temporary, png) && ::MoveFileExW(temporary.c_str(), pngPath, MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  ::DeleteFileW(temporary.c_str());
  return false;
}

}  // namespace

extern "C" BOOLEAN WINAPI ConvertBMP2PNG(const wchar_t* bmpPath, const wchar_t* pngPath) {
  // Nothing may escape into the caller, which may not even be C++.
  try {
    return Convert(bmpPath, pngPath) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}
