#pragma once
// The close-or-click tasks acted on the moment their window appears: a WinEvent hook on windows of other processes
// being created, shown and renamed tries every task line against the new window's top-level window, with the same
// matching and actions as the idle runner. Events for windows that cannot match are dismissed after reading the
// top-level window's class and stored title, which sends nothing.
//
// A window is often not matchable yet when it appears: hidden, its controls made a moment later, or its title set
// later (and some systems send no event for the showing or the renaming). So a top-level window of a class some
// line names is watched (TovWindowWatch) for a few seconds, looked at again every kWatchIntervalMs, until a line
// acts on it.
//
// One trigger is installed per process at a time (the hook's callback carries no context). Events arrive on the
// installing thread while it takes messages, from any message loop, modal ones included.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/TaskDescription.h"
#include "engine/ovTaskAction.h"
#include "engine/ovWindowWatch.h"

class TovTaskTrigger {
 public:
  TovTaskTrigger() = default;
  ~TovTaskTrigger();  // unhooks and stops the watch
  TovTaskTrigger(const TovTaskTrigger&) = delete;
  TovTaskTrigger& operator=(const TovTaskTrigger&) = delete;

  // Installs the hook on the calling thread; false when the system refused it (the idle runner then works alone).
  bool Install();
  bool Installed() const { return hooks_[0] != nullptr; }
  // Removes the hook; the idle runner then works alone.
  void Uninstall();
  // Whether the message is the trigger's own (its timer), which the program's idle work should not count.
  bool OwnsMessage(const MSG& message) const;
  // Whether an event or the timer called the trigger since the last call.
  bool TakeWakeUp() { return std::exchange(wokenUp_, false); }

  // The tasks to try, in order.
  void SetTasks(const std::vector<core::TaskDescription>& tasks);

  // How often the watched windows are looked at again, and the longest one look at them takes.
  static constexpr UINT kWatchIntervalMs = 25;
  static constexpr std::chrono::milliseconds kWatchPassBudget{3};

  // Asked before anything is done for an event; true: ignore it (a pick in progress, tasks paused).
  std::function<bool()> Suspended;
  // Takes the action of the task line with this index (from 0) on its window and says whether it was taken; when
  // not set, ApplyTaskAction does.
  std::function<bool(std::size_t line, const TovTaskTarget& target)> Act;

 private:
  static void CALLBACK EventProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                                 DWORD time) noexcept;
  static void CALLBACK WatchProc(HWND, UINT, UINT_PTR, DWORD) noexcept;
  void OnWindowEvent(HWND window);
  // Whether some line names a top-level window of this class.
  bool ClassCouldMatch(HWND top) const;
  // Whether some line needs this top-level window (its class and stored title).
  bool CouldMatch(HWND top);
  // Tries the lines on a visible top-level window that could match; true when one acted on it.
  bool Look(HWND top);
  bool TryLines(HWND top);
  void StartWatching(HWND top);
  void WatchPass();
  void StopWatching();
  // Whether this element line may search this window's tree now (at most every kElementSearchEveryMs).
  bool ElementSearchDue(HWND top, std::size_t line, DWORD now);
  // False when this line acted on this window a moment ago: the many events of one dialog act once.
  bool ActedRecently(HWND window, std::size_t line, DWORD now);

  // Create, show and name change, each alone: the destruction between them is of no use and would only wake us.
  HWINEVENTHOOK hooks_[3] = {};
  std::vector<core::TaskDescription> tasks_;
  std::size_t longestTitle_ = 0;
  std::wstring titleBuffer_;  // reused, so that dismissing an event allocates nothing
  TovWindowWatch watch_{[this](HWND top) { return Look(top); }};
  UINT_PTR watchTimer_ = 0;
  std::map<std::pair<HWND, std::size_t>, DWORD> lastActed_;
  static constexpr DWORD kElementSearchEveryMs = 150;
  std::map<std::pair<HWND, std::size_t>, DWORD> elementSearched_;  // when an element line last searched a window
  bool busy_ = false;
  bool wokenUp_ = false;  // an event handled now; a report that pumps messages must not start another
};
