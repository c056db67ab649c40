#pragma once
// A window's class, title and process image name, read without sending the window anything, so that reading
// them can never wait on another program.
#include <windows.h>

#include <cstddef>
#include <string>

// The window's class name ("" when the window is gone).
std::wstring WindowClassName(HWND window);

// The window manager's stored copy of the title, at most maxLength characters of it.
std::wstring StoredWindowTitle(HWND window, std::size_t maxLength = 1024);

// The file name of the image of the process that owns the window, such as "notepad.exe"; "" when the process
// cannot be asked.
std::wstring ProcessImageName(HWND window);
