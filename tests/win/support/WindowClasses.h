#pragma once
// Window classes of the test programs' own fixture windows, and the owner that destroys such a window.
#include <windows.h>

#include "base/Handles.h"

namespace fixture {

using OwnedWindow = base::UniqueHandle<HWND, ::DestroyWindow>;

// Registers a window class of this program with an arrow cursor; a class of that name that is already registered
// counts as success, so every fixture can call it before creating a window.
bool RegisterTestClass(const wchar_t* name, WNDPROC procedure = ::DefWindowProcW, HBRUSH background = nullptr);

}  // namespace fixture
