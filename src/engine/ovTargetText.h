#pragma once
// The texts made from the target helper's snapshot of a window: the information panel's lines and the task line
// that "Add a CloseOrClick task" writes. The tool window and the console program both take them from here, so the
// two show and write the same text for the same window.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/ovWinUtils.h"

// The memo's lines for the window that `target` last read (HWND, ID, Title, Class, Style, Font; no Color line).
std::vector<std::wstring> TargetInfoLines(const TovWinUtils& target);

// The close-or-click task line for the window that `target` last read: its title and class; for a child also
// the title and class of its topmost ancestor, and the number of windows between the two when there are any.
struct TovTaskLine {
  std::wstring Line;
  HWND Ancestor = nullptr;  // the topmost ancestor read for a child, nullptr for a top-level window
};
TovTaskLine MakeTaskLine(const TovWinUtils& target);
