#include "engine/ovFaultGuard.h"

#include <windows.h>

#ifdef _MSC_VER

// The compiler's structured exception handling is the guard itself. Its handler runs only for exceptions that
// nothing inside the call handled, the stack overflow included (the caller's thread ends after the call).
bool CallGuarded(GuardedFunction function, void* context) noexcept {
  __try {
    function(context);
    return true;
  } __except (EXCEPTION_EXECUTE_HANDLER) {
    return false;
  }
}

#else

// GCC has no __try/__except. Two handlers stand in for it, and while a guarded call runs on this thread either
// redirects the thread into ResumeAfterFault, which jumps back to the guard's frame with GCC's non-unwinding
// __builtin_longjmp. Redirecting (instead of jumping from inside the handler) lets the system finish its exception
// dispatch normally.
// - A vectored handler sees hardware faults, breakpoints and stack overflows first, before the foreign code's own
//   handlers: a conversion library has no business raising those on purpose, and a stack overflow leaves too little
//   stack to search the frames on.
// - Every other exception (an application's own code, another runtime's C++ exception) may be one the foreign code
//   raises and handles itself; it ends the call only when nothing handled it, in the process's unhandled-exception
//   filter, which the system calls before it would end the process.

namespace {

thread_local void* tResumePoint[5];
thread_local bool tArmed = false;
thread_local ULONG_PTR tResumeStack = 0;  // a stack address a little below the guard's frame

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
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_BREAKPOINT:
    case EXCEPTION_SINGLE_STEP:
      return true;
    default:
      return false;
  }
}

// Sends the thread to ResumeAfterFault. It runs on the guard's own stack, just below the guard's frame: everything
// below that belongs to the abandoned call, and the faulting stack pointer may be at the very end of the stack.
LONG Redirect(EXCEPTION_POINTERS* info) {
  tArmed = false;
  CONTEXT* c = info->ContextRecord;
#if defined(__x86_64__)
  c->Rsp = (static_cast<DWORD64>(tResumeStack) & ~static_cast<DWORD64>(15)) - 8;
  c->Rip = reinterpret_cast<DWORD64>(&ResumeAfterFault);
#elif defined(__i386__)
  c->Esp = (static_cast<DWORD>(tResumeStack) & ~static_cast<DWORD>(15)) - 4;
  c->Eip = reinterpret_cast<DWORD>(&ResumeAfterFault);
#elif defined(__aarch64__)
  c->Sp = static_cast<DWORD64>(tResumeStack) & ~static_cast<DWORD64>(15);
  c->Pc = reinterpret_cast<DWORD64>(&ResumeAfterFault);
#else
#error "CallGuarded: unknown processor"
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
  if (!tArmed || !IsFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  return Redirect(info);
}

LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  if (tArmed) return Redirect(info);
  return gPreviousFilter ? gPreviousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

// Installed once, for the rest of the process; it passes everything outside a guarded call on to the filter that
// was there before.
void InstallUnhandledFilter() {
  static const bool installed = [] {
    gPreviousFilter = ::SetUnhandledExceptionFilter(OnUnhandledException);
    return true;
  }();
  (void)installed;
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
  InstallUnhandledFilter();
  // Saved for a re-entrant guarded call (a guarded call made from inside another one).
  void* outer[5];
  const bool outerArmed = tArmed;
  const ULONG_PTR outerStack = tResumeStack;
  __builtin_memcpy(outer, tResumePoint, sizeof outer);
  volatile bool completed = false;
  // Room for ResumeAfterFault between this frame and the stack it resumes on.
  volatile char mark = 0;
  tResumeStack = reinterpret_cast<ULONG_PTR>(&mark) - 1024;
  if (__builtin_setjmp(tResumePoint) == 0) {
    tArmed = true;
    function(context);
    completed = true;
  }
  tArmed = outerArmed;
  tResumeStack = outerStack;
  __builtin_memcpy(tResumePoint, outer, sizeof outer);
  return completed;
}

#endif
