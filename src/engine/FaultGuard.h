#pragma once
// Calling into foreign code that may fault. A hardware fault (access violation, illegal instruction,
// division by zero...) raised while the call runs ends that call instead of the process.
//
//   bool ok = CallGuarded([](void* p) { ... }, &state);   // false: the call faulted
//
// C++ exceptions are not its business: the function passed in catches its own. The foreign code is
// abandoned at the fault without unwinding, so it should hold nothing the caller relies on afterwards;
// this is for calls whose only result is a file, such as the PNG conversion library.
// A stack overflow is not caught: too little stack is left to recover on.

using GuardedFunction = void (*)(void* context);

bool CallGuarded(GuardedFunction function, void* context) noexcept;
