#pragma once
// The close-or-click tasks acted on the moment their window appears: a WinEvent hook on windows of other processes
// being created, shown and renamed tries every task line against the new window's top-level window, with the same
// matching and actions as the idle runner. Events for windows that cannot match are dismissed after reading the
// top-level window's class and stored title, which sends nothing.
//
// One trigger is installed per process at a time (the hook's callback carries no context). Events arrive on the
// installing thread while it takes messages, from any message loop, modal ones included.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/TaskDescription.h"
#include "engine/ovTaskAction.h"

class TovTaskTrigger {
 public:
  TovTaskTrigger() = default;
  ~TovTaskTrigger();  // unhooks and stops a pending retry
  TovTaskTrigger(const TovTaskTrigger&) = delete;
  TovTaskTrigger& operator=(const TovTaskTrigger&) = delete;

  // Installs the hook on the calling thread; false when the system refused it (the idle runner then works alone).
  bool Install();
  bool Installed() const { return hooks_[0] != nullptr; }
  // Removes the hook; the idle runner then works alone.
  void Uninstall();

  // The tasks to try, in order.
  void SetTasks(const std::vector<core::TaskDescription>& tasks);

  // Asked before anything is done for an event; true: ignore it (a pick in progress, tasks paused).
  std::function<bool()> Suspended;
  // Told of every action taken: the task line's index (from 0) and what was acted on.
  std::function<void(std::size_t line, const TovTaskTarget& target)> OnAction;

 private:
  struct Pending {
    HWND top;
    DWORD seen;  // tick count when first seen hidden
  };

  static void CALLBACK EventProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                                 DWORD time) noexcept;
  static void CALLBACK RetryProc(HWND, UINT, UINT_PTR, DWORD) noexcept;
  void OnWindowEvent(HWND window);
  // Whether some line needs this top-level window (its class and stored title).
  bool CouldMatch(HWND top);
  void TryLines(HWND top);
  void WaitUntilVisible(HWND top);
  void Retry();
  void StopRetry();
  void ElementNotReady(HWND top, std::size_t line);
  void RetryElements(DWORD now);
  // False when this line acted on this window a moment ago: the many events of one dialog act once.
  bool ActedRecently(HWND window, std::size_t line, DWORD now);

  // Create, show and name change, each alone: the destruction between them is of no use and would only wake us.
  HWINEVENTHOOK hooks_[3] = {};
  std::vector<core::TaskDescription> tasks_;
  std::size_t longestTitle_ = 0;
  std::wstring titleBuffer_;  // reused, so that dismissing an event allocates nothing
  std::vector<Pending> pending_;
  TovElementWaits elementWaits_;  // windows whose task element was not there yet
  UINT_PTR retryTimer_ = 0;
  std::map<std::pair<HWND, std::size_t>, DWORD> lastActed_;
  bool busy_ = false;  // an event handled now; a report that pumps messages must not start another
};
