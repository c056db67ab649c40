#include "engine/ovWindowNames.h"

#include <vector>

#include "base/Handles.h"

std::wstring WindowClassName(HWND window) {
  wchar_t buffer[256] = {};
  const int length = ::GetClassNameW(window, buffer, 256);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring StoredWindowTitle(HWND window, std::size_t maxLength) {
  std::vector<wchar_t> buffer(maxLength + 1, L'\0');
  const int length = ::InternalGetWindowText(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring ProcessImageName(HWND window) {
  DWORD pid = 0;
  if (!::GetWindowThreadProcessId(window, &pid) || pid == 0) return {};
  const base::UniqueHandleObject process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return {};
  std::vector<wchar_t> path(32768, L'\0');
  DWORD length = static_cast<DWORD>(path.size());
  if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return {};
  const std::wstring full(path.data(), length);
  const std::size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? full : full.substr(slash + 1);
}
