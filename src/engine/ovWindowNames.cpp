#include "engine/ovWindowNames.h"

#include <vector>

#include "base/Paths.h"
#include "core/Paths.h"

std::wstring_view WindowClassName(HWND window, ClassNameBuffer& buffer) {
  const int length = ::GetClassNameW(window, buffer.data(), static_cast<int>(buffer.size()));
  return {buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0};
}

std::wstring WindowClassName(HWND window) {
  ClassNameBuffer buffer;
  return std::wstring(WindowClassName(window, buffer));
}

std::wstring StoredWindowTitle(HWND window, std::size_t maxLength) {
  std::vector<wchar_t> buffer(maxLength + 1, L'\0');
  const int length = ::InternalGetWindowText(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring ProcessImageName(HWND window) {
  DWORD pid = 0;
  if (!::GetWindowThreadProcessId(window, &pid) || pid == 0) return {};
  return core::ExtractFileName(base::ProcessImagePath(pid));
}

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}
