// The PNG conversion library beside skimlet.exe. Its one export turns a bitmap file into a lossless PNG with
// the core's encoder. Every bitmap is validated before it is read, and the PNG is written under a temporary
// name and renamed, so a bad input gives "false" and never a crash or half a file.
#include <windows.h>

#include <algorithm>
#include <cstdint>
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

bool ReadWholeFile(const wchar_t* path, std::vector<std::uint8_t>& bytes) {
  const File file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxBitmapBytes) return false;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
         read == bytes.size();
}

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
    std::vector<std::uint8_t> bmp;
    if (!ReadWholeFile(bmpPath, bmp)) return false;
    png = core::EncodeBmpAsPng(bmp);  // validates the bitmap first; empty when it is refused
  }  // the bitmap goes before the PNG is written
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
