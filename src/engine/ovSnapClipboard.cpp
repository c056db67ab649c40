#include "engine/ovSnapClipboard.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "base/Handles.h"
#include "core/Bmp.h"

namespace {

// A snapshot file is at most a full bitmap of the largest size the format allows us to write; anything larger under
// that name is not ours.
constexpr std::uint64_t kMaxSnapshotBytes = std::uint64_t{1} << 32;
// Another program may hold the clipboard open for a moment; it is tried this often, this far apart.
constexpr int kOpenTries = 20;
constexpr DWORD kOpenRetryMs = 10;

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path) {
  const base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) >= kMaxSnapshotBytes) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) return std::nullopt;
    done += got;
  }
  return bytes;
}

// Movable global memory holding `bytes`, as the clipboard takes it; nullptr when none can be had.
HGLOBAL ToGlobal(std::span<const std::uint8_t> bytes) {
  const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return nullptr;
  void* target = ::GlobalLock(memory);
  if (!target) {
    ::GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(target, bytes.data(), bytes.size());
  ::GlobalUnlock(memory);
  return memory;
}

// Hands `bytes` to the open clipboard in `format`; the clipboard owns the memory once it took it.
void Put(UINT format, std::span<const std::uint8_t> bytes) {
  const HGLOBAL memory = ToGlobal(bytes);
  if (memory && !::SetClipboardData(format, memory)) ::GlobalFree(memory);
}

bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < kOpenTries; ++attempt) {
    if (::OpenClipboard(owner)) return true;
    ::Sleep(kOpenRetryMs);
  }
  return false;
}

}  // namespace

bool CopySnapshotToClipboard(HWND owner, const std::wstring& bmpPath, const std::wstring& pngPath) {
  const auto bmp = ReadWholeFile(bmpPath);
  if (!bmp) return false;
  // The clipboard's bitmap is the file less its 14-byte file header, so the rows must follow the information header.
  const core::BmpCheck check = core::CheckBmp(*bmp);
  if (!check.ok() || check.layout.pixelOffset != core::kBmpHeaderSize) return false;
  const auto png = pngPath.empty() ? std::nullopt : ReadWholeFile(pngPath);

  if (!OpenClipboardSoon(owner)) return false;
  ::EmptyClipboard();
  Put(CF_DIB, std::span(*bmp).subspan(core::kBmpFileHeaderSize));
  if (png) Put(::RegisterClipboardFormatW(L"PNG"), *png);
  ::CloseClipboard();
  return true;
}
