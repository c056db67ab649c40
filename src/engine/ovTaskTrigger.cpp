#include "engine/ovTaskTrigger.h"

#include <algorithm>
#include <exception>

#include "engine/ovHost.h"
#include "engine/ovWindowNames.h"

namespace {

// A dialog raises an event per control and per rename; one line acts on one window once in this time.
constexpr DWORD kActAgainAfterMs = 500;

// The hook's callback has no context of its own: the trigger installed in this process.
TovTaskTrigger* g_installed = nullptr;

// Our own windows are never acted on. The hook is asked to skip our process, but not every system does.
bool IsOurs(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId();
}

// Runs one event's work; marks the trigger busy meanwhile and hands anything thrown to the program.
template <typename Work>
void Guarded(bool& busy, Work work) noexcept {
  if (busy) return;
  busy = true;
  try {
    work();
  } catch (...) {
    ExceptionSink().Report(std::current_exception());
  }
  busy = false;
}

}  // namespace

TovTaskTrigger::~TovTaskTrigger() { Uninstall(); }

void TovTaskTrigger::Uninstall() {
  StopWatching();
  for (HWINEVENTHOOK& hook : hooks_) {
    if (hook) ::UnhookWinEvent(hook);
    hook = nullptr;
  }
  if (g_installed == this) g_installed = nullptr;
}

bool TovTaskTrigger::OwnsMessage(const MSG& message) const {
  return message.message == WM_TIMER && !message.hwnd && watchTimer_ != 0 && message.wParam == watchTimer_;
}

bool TovTaskTrigger::Install() {
  if (Installed()) return true;
  constexpr DWORD kFlags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  const DWORD events[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE};
  for (std::size_t i = 0; i < 3; ++i) {
    hooks_[i] = ::SetWinEventHook(events[i], events[i], nullptr, EventProc, 0, 0, kFlags);
  }
  if (!hooks_[0]) {
    Uninstall();
    return false;
  }
  g_installed = this;
  return true;
}

void TovTaskTrigger::SetTasks(const std::vector<core::TaskDescription>& tasks) {
  tasks_ = tasks;
  longestTitle_ = 0;
  for (const core::TaskDescription& task : tasks_) longestTitle_ = std::max(longestTitle_, task.TopName().size());
  // One character more than the longest wanted title, so that a longer title reads as a different one.
  titleBuffer_.assign(longestTitle_ + 2, L'\0');
}

void CALLBACK TovTaskTrigger::EventProc(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                        DWORD) noexcept {
  TovTaskTrigger* self = g_installed;
  if (!self) return;
  self->wokenUp_ = true;
  if (object != OBJID_WINDOW || child != CHILDID_SELF || !window) return;
  Guarded(self->busy_, [&] { self->OnWindowEvent(window); });
}

void CALLBACK TovTaskTrigger::WatchProc(HWND, UINT, UINT_PTR, DWORD) noexcept {
  TovTaskTrigger* self = g_installed;
  if (!self) return;
  self->wokenUp_ = true;
  Guarded(self->busy_, [&] { self->WatchPass(); });
}

void TovTaskTrigger::OnWindowEvent(HWND window) {
  if (tasks_.empty() || (Suspended && Suspended())) return;
  const HWND top = ::GetAncestor(window, GA_ROOT);
  if (!top || IsOurs(top) || !ClassCouldMatch(top)) return;
  if (Look(top)) {
    watch_.Forget(top);
    return;
  }
  // Not matchable yet: hidden, its title or its controls still to come.
  StartWatching(top);
}

bool TovTaskTrigger::ClassCouldMatch(HWND top) const {
  ClassNameBuffer buffer;
  const std::wstring_view className = WindowClassName(top, buffer);
  if (className.empty()) return false;
  return std::any_of(tasks_.begin(), tasks_.end(), [&](const core::TaskDescription& task) {
    return SameTextIgnoringCase(className, task.TopClass());
  });
}

bool TovTaskTrigger::CouldMatch(HWND top) {
  ClassNameBuffer buffer;
  const std::wstring_view className = WindowClassName(top, buffer);
  if (className.empty()) return false;
  bool titleRead = false;
  std::size_t titleLength = 0;
  for (const core::TaskDescription& task : tasks_) {
    if (!SameTextIgnoringCase(className, task.TopClass())) continue;
    if (!titleRead) {
      const int length = ::InternalGetWindowText(top, titleBuffer_.data(), static_cast<int>(titleBuffer_.size()));
      titleLength = length > 0 ? static_cast<std::size_t>(length) : 0;
      titleRead = true;
    }
    if (SameTextIgnoringCase({titleBuffer_.data(), titleLength}, task.TopName())) return true;
  }
  return false;
}

bool TovTaskTrigger::Look(HWND top) {
  // Only what a user can see is acted on.
  if (Suspended && Suspended()) return false;
  return ::IsWindowVisible(top) && CouldMatch(top) && TryLines(top);
}

bool TovTaskTrigger::TryLines(HWND top) {
  const DWORD now = ::GetTickCount();
  bool acted = false;
  for (std::size_t i = 0; i < tasks_.size(); ++i) {
    // An element is looked for in the window's tree, which costs far more than a window's names: a watched window
    // whose element is not there yet is searched again only now and then.
    if (tasks_[i].IsElement() && !ElementSearchDue(top, i, now)) continue;
    const TovTaskTarget target = FindTaskTarget(tasks_[i], top);
    if (!target.Window || !::IsWindowVisible(target.Window)) continue;
    if (ActedRecently(target.Window, i, now)) {
      acted = true;  // by an earlier event's look: done with it here too
      continue;
    }
    if (!(Act ? Act(i, target) : ApplyTaskAction(target))) continue;
    lastActed_[{target.Window, i}] = now;
    acted = true;
  }
  return acted;
}

bool TovTaskTrigger::ElementSearchDue(HWND top, std::size_t line, DWORD now) {
  std::erase_if(elementSearched_, [now](const auto& entry) { return now - entry.second >= kElementSearchEveryMs; });
  return elementSearched_.emplace(std::make_pair(top, line), now).second;
}

bool TovTaskTrigger::ActedRecently(HWND window, std::size_t line, DWORD now) {
  // Old entries go first, so the map holds only what acted within the last moment.
  std::erase_if(lastActed_, [now](const auto& entry) { return now - entry.second >= kActAgainAfterMs; });
  return lastActed_.count({window, line}) != 0;
}

void TovTaskTrigger::StartWatching(HWND top) {
  watch_.Watch(top, ::GetTickCount());
  if (!watchTimer_) watchTimer_ = ::SetTimer(nullptr, 0, kWatchIntervalMs, WatchProc);
}

void TovTaskTrigger::WatchPass() {
  watch_.Pass(::GetTickCount(), std::chrono::steady_clock::now() + kWatchPassBudget);
  if (watch_.Empty()) StopWatching();
}

void TovTaskTrigger::StopWatching() {
  watch_.Clear();
  if (watchTimer_) ::KillTimer(nullptr, watchTimer_);
  watchTimer_ = 0;
}
