#pragma once
// RAII owners for the Win32 handles we create, all from one template. A kind whose release is a single call taking
// the handle names that call; a kind that needs more to release (a device context keeps its window, a painting its
// PAINTSTRUCT, a selection the object it displaced) keeps a small record as its "handle". Every owner is movable,
// and releasing never changes GetLastError, so a failure can still be read after the clean-up it caused.
#include <windows.h>

#include <utility>

namespace gui {

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

inline void CloseFileHandle(HANDLE h) { ::CloseHandle(h); }
struct FileHandlePolicy {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
};
inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void DestroyWindowHandle(HWND h) {
  if (::IsWindow(h)) ::DestroyWindow(h);  // an owner destroyed first may have taken it along
}

using UniqueFile = UniqueHandle<HANDLE, CloseFileHandle, FileHandlePolicy>;
using UniqueHandleObject = UniqueHandle<HANDLE, CloseFileHandle>;  // events, processes, threads
using UniqueMemDc = UniqueHandle<HDC, ::DeleteDC>;                 // CreateCompatibleDC
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteGdiObject>;
using UniqueRegion = UniqueHandle<HRGN, DeleteGdiObject>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;  // also cursors made by CopyIcon
using UniqueMenu = UniqueHandle<HMENU, ::DestroyMenu>;
using UniqueModule = UniqueHandle<HMODULE, ::FreeLibrary>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindowHandle>;  // a window that no object of ours stands for

// A device context from GetDC or GetWindowDC, released with the window it came from (nullptr: the screen).
struct WindowDcRecord {
  HWND window = nullptr;
  HDC dc = nullptr;
  bool operator==(const WindowDcRecord&) const = default;
};
inline void ReleaseWindowDc(WindowDcRecord r) { ::ReleaseDC(r.window, r.dc); }
struct WindowDcPolicy {
  static WindowDcRecord Invalid() { return {}; }
  static bool IsValid(const WindowDcRecord& r) { return r.dc != nullptr; }
};
class WindowDc : public UniqueHandle<WindowDcRecord, ReleaseWindowDc, WindowDcPolicy> {
 public:
  WindowDc() = default;  // holds none
  // The client area's device context (GetDC); nullptr: the screen.
  static WindowDc Client(HWND window = nullptr) { return WindowDc({window, ::GetDC(window)}); }
  // The whole window's, frame included (GetWindowDC); nullptr: the screen.
  static WindowDc Whole(HWND window = nullptr) { return WindowDc({window, ::GetWindowDC(window)}); }
  HDC dc() const { return get().dc; }

 private:
  explicit WindowDc(WindowDcRecord record) : UniqueHandle(record) {}
};

// BeginPaint/EndPaint. A failed BeginPaint holds nothing: test it before painting.
struct PaintRecord {
  HWND window = nullptr;
  PAINTSTRUCT ps{};
};
inline void EndPaintRecord(PaintRecord r) { ::EndPaint(r.window, &r.ps); }
struct PaintPolicy {
  static PaintRecord Invalid() { return {}; }
  static bool IsValid(const PaintRecord& r) { return r.ps.hdc != nullptr; }
};
class PaintDc : public UniqueHandle<PaintRecord, EndPaintRecord, PaintPolicy> {
 public:
  PaintDc() = default;
  explicit PaintDc(HWND window) : UniqueHandle(Begin(window)) {}
  HDC dc() const { return get().ps.hdc; }
  const RECT& area() const { return get().ps.rcPaint; }

 private:
  static PaintRecord Begin(HWND window) {
    PaintRecord record{window, {}};
    ::BeginPaint(window, &record.ps);
    return record;
  }
};

// An object selected into a device context; releasing puts the object it displaced back.
struct SelectionRecord {
  HDC dc = nullptr;
  HGDIOBJ displaced = nullptr;
  bool operator==(const SelectionRecord&) const = default;
};
inline void RestoreSelection(SelectionRecord r) { ::SelectObject(r.dc, r.displaced); }
struct SelectionPolicy {
  static SelectionRecord Invalid() { return {}; }
  static bool IsValid(const SelectionRecord& r) { return r.displaced != nullptr && r.displaced != HGDI_ERROR; }
};
class SelectedObject : public UniqueHandle<SelectionRecord, RestoreSelection, SelectionPolicy> {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) : UniqueHandle(SelectionRecord{dc, ::SelectObject(dc, object)}) {}
};

}  // namespace gui
