#include "engine/ovListFile.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Handles.h"
#include "core/ListFile.h"

namespace {

constexpr DWORD kChunk = 1 << 20;  // read at a time
constexpr std::size_t kMaxFileBytes = INT_MAX;

[[noreturn]] void Fail(const wchar_t* what, const std::wstring& path, DWORD error) {
  throw base::Win32Error(std::wstring(what) + L" \"" + path + L"\"", error);
}

std::wstring AnsiToWide(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), n);
  return text;
}

// The text in the ANSI code page, or nullopt if any character would be replaced by a similar or default one.
std::optional<std::string> WideToAnsiLossless(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const bool utf8 = ::GetACP() == CP_UTF8;  // that code page takes no best-fit flag nor default-character report
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const lossReport = utf8 ? nullptr : &usedDefault;
  const int n = ::WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, lossReport);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(n), '\0');
  if (::WideCharToMultiByte(CP_ACP, flags, text.data(), size, bytes.data(), n, nullptr, lossReport) != n ||
      usedDefault) {
    return std::nullopt;
  }
  return bytes;
}

// Refuses a file too large for the text conversions (their lengths are int): read on, it would come back as an
// empty list and a later save would replace it.
std::string ReadAll(HANDLE file, const std::wstring& path) {
  std::string bytes;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file, &size) && size.QuadPart > 0) {
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxFileBytes) Fail(L"Cannot read", path, ERROR_FILE_TOO_LARGE);
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  }
  std::string chunk(kChunk, '\0');
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, chunk.data(), kChunk, &got, nullptr)) Fail(L"Cannot read", path, ::GetLastError());
    if (got == 0) return bytes;
    if (bytes.size() + got > kMaxFileBytes) Fail(L"Cannot read", path, ERROR_FILE_TOO_LARGE);  // grew meanwhile
    bytes.append(chunk.data(), got);
  }
}

// Fails like the replace would, but before anything is written: a folder in the file's place, a file that another
// program holds without sharing, or one we may not replace.
void CheckReplaceable(const std::wstring& path) {
  base::UniqueFile probe(::CreateFileW(path.c_str(), DELETE | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (probe) return;
  const DWORD error = ::GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) Fail(L"Cannot write", path, error);
}

}  // namespace

std::vector<std::wstring> LoadListFile(const std::wstring& path) {
  base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    Fail(L"Cannot read", path, error);
  }
  return core::DecodeListFile(ReadAll(file.get(), path), AnsiToWide);
}

void SaveListFile(const std::wstring& path, const std::vector<std::wstring>& lines) {
  const std::string bytes = core::EncodeListFile(lines, WideToAnsiLossless);
  CheckReplaceable(path);
  base::WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}
