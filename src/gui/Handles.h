#pragma once
// RAII owners for the handles of windows and drawing, from the one template of base/Handles.h. A kind that needs
// more to release (a device context keeps its window, a painting its PAINTSTRUCT, a selection the object it
// displaced) keeps a small record as its "handle".
#include <windows.h>

#include "base/Handles.h"

namespace gui {

inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void DestroyWindowHandle(HWND h) {
  if (::IsWindow(h)) ::DestroyWindow(h);  // an owner destroyed first may have taken it along
}

using UniqueMemDc = base::UniqueHandle<HDC, ::DeleteDC>;  // CreateCompatibleDC
using UniqueBitmap = base::UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueFont = base::UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueBrush = base::UniqueHandle<HBRUSH, DeleteGdiObject>;
using UniqueRegion = base::UniqueHandle<HRGN, DeleteGdiObject>;
using UniqueIcon = base::UniqueHandle<HICON, ::DestroyIcon>;  // also cursors made by CopyIcon
using UniqueMenu = base::UniqueHandle<HMENU, ::DestroyMenu>;
using UniqueWindow = base::UniqueHandle<HWND, DestroyWindowHandle>;  // a window that no object of ours stands for

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
class WindowDc : public base::UniqueHandle<WindowDcRecord, ReleaseWindowDc, WindowDcPolicy> {
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
class PaintDc : public base::UniqueHandle<PaintRecord, EndPaintRecord, PaintPolicy> {
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
class SelectedObject : public base::UniqueHandle<SelectionRecord, RestoreSelection, SelectionPolicy> {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) : UniqueHandle(SelectionRecord{dc, ::SelectObject(dc, object)}) {}
};

}  // namespace gui
