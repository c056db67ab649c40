#pragma once
// What the engine needs of the program it runs in, given by that program: the tool window answers its messages
// while it waits and reports exceptions in its error box; the console program sleeps and writes to its error
// stream. Each front end installs its own at start (SetHost); until then the plain ones below serve.
#include <windows.h>

#include <chrono>
#include <exception>

// Waits with a bound while the program stays as responsive as it must be.
class TovWaiter {
 public:
  enum class Woke {
    Signalled,  // the object waited for was signalled
    TimedOut,   // the deadline passed (or the wait failed)
    Ending,     // the program is ending (a quit request waits for its main loop): waits should stop
  };
  // Waits until `object` (nullptr: none) is signalled or `deadline` passes.
  virtual Woke Wait(HANDLE object, std::chrono::steady_clock::time_point deadline) = 0;

 protected:
  ~TovWaiter() = default;
};

// Takes an exception that must not cross a system callback.
class TovExceptionSink {
 public:
  virtual void Report(std::exception_ptr error) noexcept = 0;

 protected:
  ~TovExceptionSink() = default;
};

// Tells the program's own windows, which tasks never act on. Asks without creating anything.
class TovOwnWindows {
 public:
  virtual bool IsOwn(HWND window) const = 0;

 protected:
  ~TovOwnWindows() = default;
};

struct TovHost {
  TovWaiter* waiter = nullptr;             // nullptr: the sleeping waiter
  TovExceptionSink* exceptions = nullptr;  // nullptr: the debugger's output
  TovOwnWindows* ownWindows = nullptr;     // nullptr: none are the program's own
};

// Installs the front end's host; the objects must live until SetHost({}) undoes it.
void SetHost(const TovHost& host);

// The installed host's parts.
TovWaiter& Waiter();
TovExceptionSink& ExceptionSink();
bool IsOwnWindow(HWND window);

// The time until `deadline` in whole milliseconds for a system wait, rounded up so that the wait does not end
// before it; 0 once it has passed.
DWORD WaitMilliseconds(std::chrono::steady_clock::time_point deadline);

// Waits on the object, or sleeps, without answering any message: for a program without windows.
class TovSleepingWaiter final : public TovWaiter {
 public:
  Woke Wait(HANDLE object, std::chrono::steady_clock::time_point deadline) override;
};
