#pragma once
// Reading windows for the console program: the facts its criteria are checked against, the details "info" adds,
// the top-level windows in Z order with their descendants, and the window a set of criteria names.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "core/ConsoleFormat.h"
#include "core/WindowCriteria.h"
#include "engine/ovWinUtils.h"

// A handle carries 32 significant bits, also in a 64-bit process; and back.
uint32_t WindowHandleBits(HWND window);
HWND WindowFromBits(uint32_t bits);

// The window's handle, process, image file name, class, title (read within the target helper's bounds) and
// rectangle.
core::WindowFacts ReadWindowFacts(HWND window);

// What "info" shows beyond the panel about the window `target` last read: image path, thread, parent (for a
// child), owner, DPI and the task line that "Add a CloseOrClick task" would write.
core::WindowDetails ReadWindowDetails(const TovWinUtils& target);

// Lists hold at most this many windows, however many a hostile program makes.
inline constexpr std::size_t kMaxListedWindows = 100000;

// The top-level windows, top first; hidden ones only when withHidden.
std::vector<HWND> TopLevelWindows(bool withHidden);

// Every descendant of the window, each after its parent, in the order the system enumerates them.
std::vector<HWND> DescendantWindows(HWND window);

// The windows the criteria name, in the order "info", "snap" and "set" look at them: the one --handle or --task
// names (or nothing when it fails the other criteria); otherwise the top-level windows that meet them, visible
// ones first, each group top first.
std::vector<HWND> MatchingWindows(const core::Criteria& criteria);
