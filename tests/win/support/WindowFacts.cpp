#include "support/WindowFacts.h"

namespace fixture {

RECT RectInClient(HWND child, HWND parent) {
  RECT bounds{};
  ::GetWindowRect(child, &bounds);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

wchar_t UserDecimalSeparator() {
  wchar_t separator[8] = {};
  return ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1 ? separator[0] : L'.';
}

}  // namespace fixture
