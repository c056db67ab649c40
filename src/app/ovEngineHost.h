#pragma once
// What the engine needs of the tool window (engine/ovHost.h): waits that go on dispatching its messages, so that it
// keeps painting and answering; exceptions to the application's handler (the error box); and its own windows, which
// tasks leave alone. Installed for as long as the object lives.
#include <windows.h>

#include "engine/ovHost.h"

class TovEngineHost final : public TovWaiter, public TovExceptionSink, public TovOwnWindows {
 public:
  TovEngineHost();
  ~TovEngineHost();
  TovEngineHost(const TovEngineHost&) = delete;
  TovEngineHost& operator=(const TovEngineHost&) = delete;

  // Dispatches this thread's messages (no idle work) until the object is signalled or the deadline passes; a quit
  // request ends the wait and stays queued for the main loop.
  Woke Wait(HANDLE object, std::chrono::steady_clock::time_point deadline) override;
  // Hands the exception to gui::Application's handler.
  void Report(std::exception_ptr error) noexcept override;
  // The windows of this process that our window library made (forms, controls, the application's hidden owner) and
  // every window inside or owned by one of them (tooltips, menus). Other windows of the process are not ours.
  bool IsOwn(HWND window) const override;
};
