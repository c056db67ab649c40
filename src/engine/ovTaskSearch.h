#pragma once
// The levelled window search of the close-or-click tasks.
#include <windows.h>

#include <cstdint>
#include <string>

// The window a task with pLevels = levels names under its top-level window top: the first window, in child
// enumeration order, with the given class and title that is a direct child of a window at least `levels` levels
// below top (children of top are one level below). levels 0 looks only at top's direct children; a negative count
// finds nothing. Empty texts ask for an empty class or title, not for any.
//
// One walk over top's descendants, each tested once: the cost is linear in their number.
HWND FindTaskWindow(HWND top, int32_t levels, const std::wstring& className, const std::wstring& windowName);
