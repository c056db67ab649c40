#include "engine/ovListFile.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/ListFile.h"
#include "core/Unicode.h"
#include "gui/Error.h"
#include "gui/Handles.h"

namespace {

constexpr DWORD kChunk = 1 << 20;
constexpr std::size_t kMaxFileBytes = INT_MAX;

// The system's text without its closing full stop, followed by the code.
std::wstring SystemReason(DWORD error) {
  std::wstring reason = gui::SystemErrorText(error);
  while (!reason.empty() && (reason.back() == L'.' || reason.back() == L' ')) reason.pop_back();
  if (reason.empty()) reason = L"system error";
  return reason + L" (" + std::to_wstring(error) + L")";
}

[[noreturn]] void Fail(const wchar_t* what, const std::wstring& path, DWORD error) {
  throw ListFileError(std::wstring(what) + L" \"" + path + L"\": " + SystemReason(error));
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
  gui::UniqueFile probe(::CreateFileW(path.c_str(), DELETE | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (probe) return;
  const DWORD error = ::GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) Fail(L"Cannot write", path, error);
}

}  // namespace

ListFileError::ListFileError(std::wstring message)
    : std::runtime_error(core::WideToUtf8(message)), message_(std::move(message)) {}

std::vector<std::wstring> LoadListFile(const std::wstring& path) {
  gui::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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

  const std::wstring temporary = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".saving";
  {
    gui::UniqueFile file(
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail(L"Cannot write", temporary, ::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunk));
      DWORD written = 0;
      const bool wrote = ::WriteFile(file.get(), bytes.data() + done, part, &written, nullptr) != FALSE;
      if (!wrote || written == 0) {
        // A write that succeeds with nothing written sets no error code of its own.
        const DWORD error = wrote ? ERROR_WRITE_FAULT : ::GetLastError();
        file.reset();
        ::DeleteFileW(temporary.c_str());
        Fail(L"Cannot write", temporary, error);
      }
      done += written;
    }
    if (!::FlushFileBuffers(file.get())) {
      const DWORD error = ::GetLastError();
      file.reset();
      ::DeleteFileW(temporary.c_str());
      Fail(L"Cannot write", temporary, error);
    }
  }
  if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temporary.c_str());
    Fail(L"Cannot write", path, error);
  }
}
