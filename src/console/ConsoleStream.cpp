#include "console/ConsoleStream.h"

#include <algorithm>

#include "core/Product.h"
#include "core/Unicode.h"

namespace {

// The console and the pipe are written in pieces of this size, so no single call is asked for a huge buffer.
constexpr std::size_t kChunk = 16384;

}  // namespace

ConsoleStream::ConsoleStream(DWORD which) : handle_(::GetStdHandle(which)) {
  if (handle_ == INVALID_HANDLE_VALUE) handle_ = nullptr;
  DWORD mode = 0;
  console_ = handle_ && ::GetConsoleMode(handle_, &mode);
}

void ConsoleStream::WriteLine(std::wstring_view text) {
  if (!handle_) return;
  if (console_) {
    WriteWide(text);
    WriteWide(L"\r\n");
  } else {
    WriteBytes(core::WideToUtf8(text) + "\r\n");
  }
}

void ConsoleStream::WriteUtf8Line(std::string_view text) {
  if (!handle_) return;
  if (console_) {
    WriteLine(core::Utf8ToWide(text));
  } else {
    WriteBytes(std::string(text) + "\r\n");
  }
}

void ConsoleStream::WriteBytes(std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min(bytes.size(), kChunk));
    if (!::WriteFile(handle_, bytes.data(), size, &written, nullptr) || written == 0) return;
    bytes.remove_prefix(written);
  }
}

void ConsoleStream::WriteWide(std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min(text.size(), kChunk));
    if (!::WriteConsoleW(handle_, text.data(), size, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

int Console::Fail(int code, std::wstring_view message) {
  err.WriteLine(std::wstring(core::product::kName) + L": " + std::wstring(message));
  return code;
}
