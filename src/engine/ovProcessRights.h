#pragma once
// Whether another program runs with higher rights than this one: Windows then drops the changes made to its windows.
#include <windows.h>

// True when the integrity level of the token of the window's process is above this process's; false when it is not
// or cannot be read.
bool RunsWithHigherRights(HWND window);

// The sentence that says so, for the panel and the console.
inline constexpr wchar_t kHigherRightsNews[] =
    L"Its program runs with higher rights than Skimlet: Windows ignores changes to this window.";
