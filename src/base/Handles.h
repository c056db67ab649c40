#pragma once
// RAII owners for Win32 handles, all from one template. A kind whose release is a single call taking the handle
// names that call; a kind that needs more to release keeps a small record as its "handle" (see gui/Handles.h for
// device contexts, paintings and selections). Every owner is movable, and releasing never changes GetLastError, so
// a failure can still be read after the clean-up it caused.
#include <windows.h>

#include <utility>

namespace base {

// The default: a value-initialised handle is invalid. Kinds whose "none" is another value pass their own policy.
template <typename H>
struct NullIsInvalid {
  static H Invalid() { return H{}; }
  static bool IsValid(const H& handle) { return !(handle == H{}); }
};

template <typename H, auto Close, typename Policy = NullIsInvalid<H>>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  const H& get() const { return handle_; }
  explicit operator bool() const { return Policy::IsValid(handle_); }

  // Gives up ownership, for handles that Windows takes over.
  H release() { return std::exchange(handle_, Policy::Invalid()); }

  void reset() { reset(Policy::Invalid()); }
  void reset(H handle) {
    H old = std::exchange(handle_, handle);
    if (!Policy::IsValid(old)) return;
    const DWORD error = ::GetLastError();
    Close(old);
    ::SetLastError(error);
  }

 private:
  H handle_ = Policy::Invalid();
};

inline void CloseKernelHandle(HANDLE h) { ::CloseHandle(h); }
struct FileHandlePolicy {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
};
inline void UnmapView(const void* view) { ::UnmapViewOfFile(view); }

using UniqueFile = UniqueHandle<HANDLE, CloseKernelHandle, FileHandlePolicy>;
using UniqueHandleObject = UniqueHandle<HANDLE, CloseKernelHandle>;  // events, processes, threads, mappings
using UniqueModule = UniqueHandle<HMODULE, ::FreeLibrary>;
using UniqueFileView = UniqueHandle<const void*, UnmapView>;          // MapViewOfFile

}  // namespace base
