#pragma once
// Accessible elements inside other programs' windows: the parts (buttons, links, list items) that a program draws
// inside one window and describes through Active Accessibility. Reading the element at a point, walking a window's
// element tree, and doing an element's default action.
//
// Every call into another program's accessible objects can block for as long as that program likes, so none is
// made on the calling thread: they run on one element thread (a single-threaded COM apartment) that takes one job
// at a time, and the caller waits at most a bound. A job that overruns its bound is abandoned with its thread,
// which ends by itself if the call ever returns; the next job gets a new thread (at most a few abandoned threads
// exist at once; beyond that, element reads fail at once). The window whose element blocked is then left alone
// for a while: jobs for it fail at once.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/ElementText.h"
#include "core/TaskDescription.h"

enum class TovElementStatus {
  Found,    // the element (or tree) was read
  None,     // nothing answers there: no element, no window, or a window without accessible objects
  Blocked,  // the program did not answer within the bound, or it is being left alone after an earlier block
};

inline constexpr std::chrono::milliseconds kElementPointBound{500};

// How far a walk of an element tree goes.
struct TovElementLimits {
  int maxDepth = 24;
  std::size_t maxCount = 5000;
  std::chrono::milliseconds budget{2000};
};

struct TovElementRead {
  TovElementStatus status = TovElementStatus::None;
  core::ElementFacts element;
};

// The element at a screen point, waiting at most `bound`.
TovElementRead ReadElementAt(POINT point, std::chrono::milliseconds bound = kElementPointBound);

struct TovElementTree {
  TovElementStatus status = TovElementStatus::None;
  std::vector<core::ElementFacts> elements;  // in visiting order, each followed by its descendants; depths from 0
  bool cut = false;  // a limit ended the walk early
};

// The window's element tree, the window's own client element first.
TovElementTree ReadElementTree(HWND window, const TovElementLimits& limits = {});

struct TovElementHit {
  TovElementStatus status = TovElementStatus::None;  // Found: element holds the task's element
  core::ElementFacts element;
  bool acted = false;  // its default action was done, or a click posted at its centre
};

// The first element in the window's tree that the task's element name and role name; with act, its default action is
// done, or, when it has none or that fails, a left click is posted to its host window at its centre.
TovElementHit FindTaskElement(HWND window, const core::TaskDescription& task, bool act, const TovElementLimits& limits = {});

// The element under the pointer for the picker, read without making the interface thread wait: Request starts a
// read (or, while one runs, keeps the newest point for the next), Poll collects it. A read that overruns the point
// bound is abandoned and reported as Blocked.
class TovElementProbe {
 public:
  TovElementProbe();
  ~TovElementProbe();
  TovElementProbe(const TovElementProbe&) = delete;
  TovElementProbe& operator=(const TovElementProbe&) = delete;

  void Request(POINT point);
  // True when a read ended since the last call; Latest() then holds it.
  bool Poll();
  const TovElementRead& Latest() const { return latest_; }
  // Whether a read is still running or waiting.
  bool Busy() const;
  // Forgets the reads in progress and the latest result.
  void Reset();

 private:
  struct State;
  std::unique_ptr<State> state_;
  TovElementRead latest_;
};
