#pragma once
// The levelled window search of the close-or-click tasks.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The window a task with pLevels = levels names under its top-level window top: the first window, in child
// enumeration order, with the given class and title that is a direct child of a window at least `levels` levels
// below top (children of top are one level below). levels 0 looks only at top's direct children; a negative count
// finds nothing. Empty texts ask for an empty class or title, not for any.
//
// One walk over top's descendants, each tested once: the cost is linear in their number.
HWND FindTaskWindow(HWND top, int32_t levels, const std::wstring& className, const std::wstring& windowName);

// The same search, spread over calls that each end by a deadline, so that a tree of thousands of windows does not
// hold up the interface thread. The walk goes down the tree in enumeration order (each window, then its children,
// then its next sibling) and resumes where it stopped. A tree that changes between calls is walked as it is found:
// a window that went away ends the walk of its siblings, and the walk as a whole is bounded.
class TovTaskWindowSearch {
 public:
  TovTaskWindowSearch(HWND top, int32_t levels, std::wstring className, std::wstring windowName);

  // Walks on until the window is found, the walk is over or `deadline` has passed (looked at after each window).
  // True when the search is over; Found() is then its result.
  bool Continue(std::chrono::steady_clock::time_point deadline);
  HWND Found() const { return found_; }

 private:
  // Visits the current window (the last of path_); true when the search is over.
  bool Visit();
  // Moves to the next window in enumeration order; false when there is none.
  bool Advance();

  HWND top_;
  int32_t levels_;
  std::wstring className_;
  std::wstring windowName_;
  std::vector<HWND> path_;  // from a child of top_ down to the current window
  bool started_ = false;
  bool over_ = false;
  std::size_t visits_ = 0;
  HWND found_ = nullptr;
};
