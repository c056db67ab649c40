#pragma once
// A window's class, title and process image name, read without sending the window anything, so that reading
// them can never wait on another program.
#include <windows.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Room for the longest class name the system registers, terminator included.
using ClassNameBuffer = std::array<wchar_t, 256>;

// The window's class name ("" when the window is gone): in `buffer`, so that reading allocates nothing, or as a
// string of its own.
std::wstring_view WindowClassName(HWND window, ClassNameBuffer& buffer);
std::wstring WindowClassName(HWND window);

// The window manager's stored copy of the title, at most maxLength characters of it.
std::wstring StoredWindowTitle(HWND window, std::size_t maxLength = 1024);

// The file name of the image of the process that owns the window, such as "notepad.exe"; "" when the process
// cannot be asked.
std::wstring ProcessImageName(HWND window);

// Whether two class names or titles are the same without regard to case, as the window manager compares them
// (FindWindowW): ordinal, by the system's upper-case table.
bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b);
