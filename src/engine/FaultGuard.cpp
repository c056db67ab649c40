#include "engine/FaultGuard.h"

#include <windows.h>

#ifdef _MSC_VER

// The compiler's structured exception handling is the guard itself.
bool CallGuarded(GuardedFunction function, void* context) noexcept {
  __try {
    function(context);
    return true;
  } __except (GetExceptionCode() == EXCEPTION_STACK_OVERFLOW ? EXCEPTION_CONTINUE_SEARCH : EXCEPTION_EXECUTE_HANDLER) {
    return false;
  }
}

#else

// GCC has no __try/__except. A vectored handler sees the fault first; while a guarded call runs on this
// thread it redirects the faulting thread into ResumeAfterFault, which jumps back to the guard's frame with
// GCC's non-unwinding __builtin_longjmp. Redirecting (instead of jumping from inside the handler) lets the
// system finish its exception dispatch normally.
// A vectored handler runs before the foreign code's own handlers, so a fault that the library would have
// handled itself also ends the call; a conversion library has no business faulting on purpose.

namespace {

thread_local void* tResumePoint[5];
thread_local bool tArmed = false;

[[noreturn]] void ResumeAfterFault() { __builtin_longjmp(tResumePoint, 1); }

bool IsFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
      return true;
    default:
      return false;
  }
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
  if (!tArmed || !IsFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  tArmed = false;
  CONTEXT* c = info->ContextRecord;
  // Continue on the faulting stack, a little below it, aligned as at a function's entry.
#if defined(__x86_64__)
  c->Rsp = ((c->Rsp - 256) & ~static_cast<DWORD64>(15)) - 8;
  c->Rip = reinterpret_cast<DWORD64>(&ResumeAfterFault);
#elif defined(__i386__)
  c->Esp = ((c->Esp - 256) & ~static_cast<DWORD>(15)) - 4;
  c->Eip = reinterpret_cast<DWORD>(&ResumeAfterFault);
#elif defined(__aarch64__)
  c->Sp = (c->Sp - 256) & ~static_cast<DWORD64>(15);
  c->Pc = reinterpret_cast<DWORD64>(&ResumeAfterFault);
#else
#error "CallGuarded: unknown processor"
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

class VectoredHandler {
 public:
  VectoredHandler() : handle_(::AddVectoredExceptionHandler(1, OnException)) {}
  VectoredHandler(const VectoredHandler&) = delete;
  VectoredHandler& operator=(const VectoredHandler&) = delete;
  ~VectoredHandler() {
    if (handle_) ::RemoveVectoredExceptionHandler(handle_);
  }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  void* handle_;
};

}  // namespace

bool CallGuarded(GuardedFunction function, void* context) noexcept {
  VectoredHandler handler;
  if (!handler) return false;  // unguarded foreign code is not run at all
  // Saved for a re-entrant guarded call (a guarded call made from inside another one).
  void* outer[5];
  const bool outerArmed = tArmed;
  __builtin_memcpy(outer, tResumePoint, sizeof outer);
  volatile bool completed = false;
  if (__builtin_setjmp(tResumePoint) == 0) {
    tArmed = true;
    function(context);
    completed = true;
  }
  tArmed = outerArmed;
  __builtin_memcpy(tResumePoint, outer, sizeof outer);
  return completed;
}

#endif
