#include "engine/ovTaskTrigger.h"

#include <algorithm>
#include <exception>

#include "gui/Application.h"

namespace {

// A window first seen hidden is looked at again this often, for this long, in case it is shown without an event.
constexpr UINT kRetryIntervalMs = 10;
constexpr DWORD kRetryForMs = 2000;
constexpr std::size_t kMaxPending = 64;
// A dialog raises an event per control and per rename; one line acts on one window once in this time.
constexpr DWORD kActAgainAfterMs = 500;

// The hook's callback has no context of its own: the trigger installed in this process.
TovTaskTrigger* g_installed = nullptr;

bool SameIgnoringCase(const wchar_t* a, std::size_t aLength, const std::wstring& b) {
  return ::CompareStringOrdinal(a, static_cast<int>(aLength), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// Our own windows are never acted on. The hook is asked to skip our process, but not every system does.
bool IsOurs(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId();
}

// Runs one event's work; marks the trigger busy meanwhile and hands anything thrown to the application.
template <typename Work>
void Guarded(bool& busy, Work work) noexcept {
  if (busy) return;
  busy = true;
  try {
    work();
  } catch (...) {
    gui::Application::Instance().HandleException(std::current_exception());
  }
  busy = false;
}

}  // namespace

TovTaskTrigger::~TovTaskTrigger() { Uninstall(); }

void TovTaskTrigger::Uninstall() {
  StopRetry();
  pending_.clear();
  elementWaits_.Clear();
  for (HWINEVENTHOOK& hook : hooks_) {
    if (hook) ::UnhookWinEvent(hook);
    hook = nullptr;
  }
  if (g_installed == this) g_installed = nullptr;
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
  if (object != OBJID_WINDOW || child != CHILDID_SELF || !window) return;
  TovTaskTrigger* self = g_installed;
  if (!self) return;
  Guarded(self->busy_, [&] { self->OnWindowEvent(window); });
}

void CALLBACK TovTaskTrigger::RetryProc(HWND, UINT, UINT_PTR, DWORD) noexcept {
  TovTaskTrigger* self = g_installed;
  if (!self) return;
  Guarded(self->busy_, [&] { self->Retry(); });
}

void TovTaskTrigger::OnWindowEvent(HWND window) {
  if (tasks_.empty() || (Suspended && Suspended())) return;
  const HWND top = ::GetAncestor(window, GA_ROOT);
  if (!top || IsOurs(top) || !CouldMatch(top)) return;
  // Only what a user can see is acted on; a window made hidden may be shown without an event reaching us.
  if (!::IsWindowVisible(top)) {
    WaitUntilVisible(top);
    return;
  }
  TryLines(top);
}

bool TovTaskTrigger::CouldMatch(HWND top) {
  wchar_t className[256];
  const int classLength = ::GetClassNameW(top, className, 256);
  if (classLength <= 0) return false;
  bool titleRead = false;
  std::size_t titleLength = 0;
  for (const core::TaskDescription& task : tasks_) {
    if (!SameIgnoringCase(className, static_cast<std::size_t>(classLength), task.TopClass())) continue;
    if (!titleRead) {
      const int length = ::InternalGetWindowText(top, titleBuffer_.data(), static_cast<int>(titleBuffer_.size()));
      titleLength = length > 0 ? static_cast<std::size_t>(length) : 0;
      titleRead = true;
    }
    if (SameIgnoringCase(titleBuffer_.data(), titleLength, task.TopName())) return true;
  }
  return false;
}

void TovTaskTrigger::TryLines(HWND top) {
  const DWORD now = ::GetTickCount();
  for (std::size_t i = 0; i < tasks_.size(); ++i) {
    const TovTaskTarget target = FindTaskTarget(tasks_[i], top);
    if (!target.Window || !::IsWindowVisible(target.Window)) continue;
    if (ActedRecently(target.Window, i, now)) continue;
    if (!ApplyTaskAction(target)) {
      // A program may show its window before it can describe what is inside.
      if (target.IsElement()) ElementNotReady(top, i);
      continue;
    }
    lastActed_[{target.Window, i}] = now;
    if (OnAction) OnAction(i, target);
  }
}

bool TovTaskTrigger::ActedRecently(HWND window, std::size_t line, DWORD now) {
  // Old entries go first, so the map holds only what acted within the last moment.
  std::erase_if(lastActed_, [now](const auto& entry) { return now - entry.second >= kActAgainAfterMs; });
  return lastActed_.count({window, line}) != 0;
}

void TovTaskTrigger::WaitUntilVisible(HWND top) {
  const bool known = std::any_of(pending_.begin(), pending_.end(), [top](const Pending& p) { return p.top == top; });
  if (known) return;
  if (pending_.size() >= kMaxPending) pending_.erase(pending_.begin());
  pending_.push_back({top, ::GetTickCount()});
  if (!retryTimer_) retryTimer_ = ::SetTimer(nullptr, 0, kRetryIntervalMs, RetryProc);
}

void TovTaskTrigger::ElementNotReady(HWND top, std::size_t line) {
  elementWaits_.Add(top, line, ::GetTickCount());
  if (!retryTimer_) retryTimer_ = ::SetTimer(nullptr, 0, kRetryIntervalMs, RetryProc);
}

void TovTaskTrigger::RetryElements(DWORD now) {
  for (const auto& [top, line] : elementWaits_.Due(now)) {
    if (line >= tasks_.size() || !::IsWindowVisible(top)) continue;
    const TovTaskTarget target = FindTaskTarget(tasks_[line], top);
    if (!target.Window || !ApplyTaskAction(target)) continue;
    elementWaits_.Remove(top, line);
    lastActed_[{target.Window, line}] = now;
    if (OnAction) OnAction(line, target);
  }
}

void TovTaskTrigger::Retry() {
  const DWORD now = ::GetTickCount();
  if (!(Suspended && Suspended())) RetryElements(now);
  const std::vector<Pending> waiting = std::exchange(pending_, {});
  for (const Pending& p : waiting) {
    if (!::IsWindow(p.top)) continue;
    if (::IsWindowVisible(p.top)) {
      if (!(Suspended && Suspended())) TryLines(p.top);
      continue;
    }
    if (now - p.seen < kRetryForMs) pending_.push_back(p);
  }
  if (pending_.empty() && elementWaits_.Empty()) StopRetry();
}

void TovTaskTrigger::StopRetry() {
  if (retryTimer_) ::KillTimer(nullptr, retryTimer_);
  retryTimer_ = 0;
}
