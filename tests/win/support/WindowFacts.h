#pragma once
// What tests read off real windows: where a child lies in its parent's client area, a window's class name, and the
// decimal separator that the user's locale puts into numbers.
#include <windows.h>

#include <string>

namespace fixture {

// The child's window rectangle in the client coordinates of `parent`.
RECT RectInClient(HWND child, HWND parent);

// The window's class name; empty for no window.
std::wstring ClassOf(HWND window);

// The first character of the user's decimal separator, "." when the locale does not say.
wchar_t UserDecimalSeparator();

}  // namespace fixture
