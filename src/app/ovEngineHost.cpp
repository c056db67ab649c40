#include "app/ovEngineHost.h"

#include "gui/Application.h"
#include "gui/Window.h"

TovEngineHost::TovEngineHost() { SetHost({this, this, this}); }

TovEngineHost::~TovEngineHost() { SetHost({}); }

TovWaiter::Woke TovEngineHost::Wait(HANDLE object, std::chrono::steady_clock::time_point deadline) {
  gui::Application& app = gui::Application::Instance();
  const DWORD count = object ? 1 : 0;
  for (;;) {
    if (!app.ProcessMessages()) return Woke::Ending;
    const DWORD ms = WaitMilliseconds(deadline);
    if (ms == 0) return count && ::WaitForSingleObject(object, 0) == WAIT_OBJECT_0 ? Woke::Signalled : Woke::TimedOut;
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(count, count ? &object : nullptr, ms, QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
    if (count && woke == WAIT_OBJECT_0) return Woke::Signalled;
    // Messages, or the deadline: either way they are dispatched first.
    if (woke != WAIT_OBJECT_0 + count && woke != WAIT_TIMEOUT) return Woke::TimedOut;  // the wait failed
  }
}

void TovEngineHost::Report(std::exception_ptr error) noexcept { gui::Application::Instance().HandleException(error); }

bool TovEngineHost::IsOwn(HWND window) const {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != ::GetCurrentProcessId()) return false;
  return gui::Window::FromHandle(window) || gui::Window::FromHandle(::GetAncestor(window, GA_ROOTOWNER));
}
