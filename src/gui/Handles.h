#pragma once
// RAII owners for the Win32 handles we create. One template serves every kind whose release is a single
// call taking the handle; device contexts taken with GetDC/GetWindowDC also keep their window.
#include <windows.h>

#include <utility>

namespace gui {

// The default: a null handle is invalid. Kinds whose "none" is another value pass their own Invalid().
template <typename H>
struct NullIsInvalid {
  static H Invalid() { return H{}; }
};

template <typename H, auto Close, typename Policy = NullIsInvalid<H>>
class UniqueHandle {
  static H Invalid() { return Policy::Invalid(); }

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

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid(); }

  // Gives up ownership, for handles that Windows takes over.
  H release() { return std::exchange(handle_, Invalid()); }

  void reset() { reset(Invalid()); }
  void reset(H handle) {
    H old = std::exchange(handle_, handle);
    if (old != Invalid()) Close(old);
  }

 private:
  H handle_ = Invalid();
};

inline void CloseFileHandle(HANDLE h) { ::CloseHandle(h); }
struct FileHandlePolicy {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
};
inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }

using UniqueFile = UniqueHandle<HANDLE, CloseFileHandle, FileHandlePolicy>;
using UniqueHandleObject = UniqueHandle<HANDLE, CloseFileHandle>;  // events, processes, threads
using UniqueMemDc = UniqueHandle<HDC, ::DeleteDC>;                  // CreateCompatibleDC
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject>;
using UniqueRegion = UniqueHandle<HRGN, DeleteGdiObject>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;              // also cursors made by CopyIcon
using UniqueMenu = UniqueHandle<HMENU, ::DestroyMenu>;
using UniqueModule = UniqueHandle<HMODULE, ::FreeLibrary>;

// A device context from GetDC or GetWindowDC, released with the window it came from (nullptr: the screen).
class WindowDc {
 public:
  enum class Area { Client, Window };
  explicit WindowDc(HWND window = nullptr, Area area = Area::Client)
      : window_(window), dc_(area == Area::Client ? ::GetDC(window) : ::GetWindowDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { ::BeginPaint(window_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { ::EndPaint(window_, &ps_); }
  HDC get() const { return ps_.hdc; }
  const RECT& area() const { return ps_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace gui
