#pragma once
// Calling into foreign code that may fault. Any exception that leaves the foreign code while the call runs ends
// that call instead of the process: a hardware fault (access violation, illegal instruction, division by zero...),
// a breakpoint, a stack overflow, or an exception raised with any other code that nothing in the call handles.
//
//   bool ok = CallGuarded([](void* p) { ... }, &state);   // false: the call faulted
//
// C++ exceptions of our own runtime are caught by the function passed in; one of another runtime that escapes is
// ended here like any other. The foreign code is abandoned at the fault without unwinding, so it should hold nothing
// the caller relies on afterwards; this is for calls whose only result is a file, such as the PNG conversion
// library. A stack overflow leaves the thread's stack without its guard page: make such calls on a thread of their
// own that ends after the call.

using GuardedFunction = void (*)(void* context);

bool CallGuarded(GuardedFunction function, void* context) noexcept;
