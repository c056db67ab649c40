#pragma once
// Work handed to a thread of its own, for calls into code that may never return: another program's window
// procedure, a foreign library. The caller waits for the thread with a bound and may give up on it; the thread then
// finishes alone. So the work owns whatever it uses (a shared_ptr to its job, say) and borrows nothing from the
// caller.
#include <windows.h>

#include <functional>

#include "base/Handles.h"

class TovWorker {
 public:
  // Starts `work` on a new thread with `stackReserve` bytes of stack reserved (0: the default size). An empty worker
  // when no thread could be made; the work is then not run. An exception out of the work ends it quietly.
  static TovWorker Start(std::function<void()> work, SIZE_T stackReserve = 0);

  explicit operator bool() const { return static_cast<bool>(thread_); }
  // Signalled when the work has returned.
  HANDLE Thread() const { return thread_.get(); }

 private:
  base::UniqueHandleObject thread_;
};
