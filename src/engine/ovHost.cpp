#include "engine/ovHost.h"

#include <algorithm>

#include "base/Error.h"

namespace {

class DebuggerSink final : public TovExceptionSink {
 public:
  void Report(std::exception_ptr error) noexcept override {
    try {
      ::OutputDebugStringW((base::ExceptionMessage(error) + L"\n").c_str());
    } catch (...) {
      // Out of memory for the message: nothing more can be said.
    }
  }
};

class NoOwnWindows final : public TovOwnWindows {
 public:
  bool IsOwn(HWND) const override { return false; }
};

TovSleepingWaiter g_sleepingWaiter;
DebuggerSink g_debuggerSink;
NoOwnWindows g_noOwnWindows;
TovHost g_host;

}  // namespace

TovWaiter::Woke TovSleepingWaiter::Wait(HANDLE object, std::chrono::steady_clock::time_point deadline) {
  const DWORD ms = WaitMilliseconds(deadline);
  if (!object) {
    ::Sleep(ms);
    return Woke::TimedOut;
  }
  return ::WaitForSingleObject(object, ms) == WAIT_OBJECT_0 ? Woke::Signalled : Woke::TimedOut;
}

void SetHost(const TovHost& host) { g_host = host; }

TovWaiter& Waiter() { return g_host.waiter ? *g_host.waiter : g_sleepingWaiter; }

TovExceptionSink& ExceptionSink() { return g_host.exceptions ? *g_host.exceptions : g_debuggerSink; }

bool IsOwnWindow(HWND window) { return (g_host.ownWindows ? *g_host.ownWindows : g_noOwnWindows).IsOwn(window); }

DWORD WaitMilliseconds(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<DWORD>(std::clamp<long long>(left.count(), 0, INFINITE - 1));
}
