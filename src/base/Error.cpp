#include "base/Error.h"

#include <windows.h>

#include <iterator>

#include "core/Unicode.h"

namespace base {

namespace {

// The system's text without its closing full stop, followed by the code.
std::wstring Reason(DWORD code) {
  std::wstring reason = SystemErrorText(code);
  while (!reason.empty() && (reason.back() == L'.' || reason.back() == L' ')) reason.pop_back();
  if (reason.empty()) reason = L"system error";
  return reason + L" (" + std::to_wstring(code) + L")";
}

}  // namespace

Win32Error::Win32Error(const std::wstring& what, DWORD code)
    : std::runtime_error(core::WideToUtf8(what + L": " + Reason(code))),
      message_(what + L": " + Reason(code)),
      code_(code) {}

std::wstring ExceptionMessage(std::exception_ptr error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const Win32Error& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return core::Utf8ToWide(e.what());
  } catch (...) {
    return L"Unknown exception";
  }
}

std::wstring SystemErrorText(unsigned long error) {
  wchar_t buffer[512] = {};
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring text(buffer, length);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text;
}

}  // namespace base
