// The PNG conversion library beside skimlet.exe. Its one export turns a bitmap file into a lossless PNG with
// the core's encoder. Every bitmap is validated before it is read, and the PNG is written through the atomic
// writer (a temporary file, flushed, then moved into place), so a bad input gives "false" and never a crash or half
// a file.
#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Handles.h"
#include "core/PngEncoder.h"

extern "C" BOOLEAN WINAPI ConvertBMP2PNG(const wchar_t* bmpPath, const wchar_t* pngPath);

namespace {

constexpr LONGLONG kMaxBitmapBytes = 1ll << 30;  // larger than any screen capture we make

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
    // The view keeps the mapping alive.
    const base::UniqueHandleObject mapping(::CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return;
    view_.reset(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (view_) size_ = static_cast<std::size_t>(size.QuadPart);
  }

  // Empty when the file could not be opened or mapped, is empty, or is larger than any capture.
  std::span<const std::uint8_t> bytes() const { return {static_cast<const std::uint8_t*>(view_.get()), size_}; }

 private:
  base::UniqueFile file_;
  base::UniqueFileView view_;
  std::size_t size_ = 0;
};

bool Convert(const wchar_t* bmpPath, const wchar_t* pngPath) {
  if (!bmpPath || !pngPath || !*bmpPath || !*pngPath) return false;
  std::vector<std::uint8_t> png;
  {
    const FileView bmp(bmpPath);
    if (bmp.bytes().empty()) return false;
    png = core::EncodeBmpAsPng(bmp.bytes());  // validates the bitmap first; empty when it is refused
  }  // the bitmap is closed before the PNG is written
  if (png.empty()) return false;
  try {
    base::WriteFileAtomically(pngPath, png);
  } catch (const base::Win32Error&) {
    return false;
  }
  return true;
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
