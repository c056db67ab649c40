#include "app/ovEmpty.h"

#include <windowsx.h>

#include <climits>

#include "gui/Handles.h"
#include "engine/ovWinSnap.h"

TovEmpty* ovEmpty = nullptr;

namespace {

constexpr int kBand = 2;  // frame width in pixels

gui::FormDesign OverlayDesign() {
  gui::FormDesign design;
  design.className = L"SkimletOverlay";
  design.border = gui::BorderStyle::None;
  design.topmost = true;
  design.alpha = 128;
  design.color = ::GetSysColor(COLOR_WINDOW);
  design.cursor = ::LoadCursorW(nullptr, IDC_CROSS);  // shared system cursor: not destroyed
  return design;
}

RECT VirtualScreen() {
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width <= 0 || height <= 0) {
    width = ::GetSystemMetrics(SM_CXSCREEN);
    height = ::GetSystemMetrics(SM_CYSCREEN);
    return {0, 0, width, height};
  }
  return {left, top, left + width, top + height};
}

}  // namespace

TovEmpty::TovEmpty() : Form(OverlayDesign()) {}

void TovEmpty::CoverVirtualScreen() {
  if (!Handle()) return;
  const RECT screen = VirtualScreen();
  ::SetWindowPos(Handle(), HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOACTIVATE);
  UpdateOrigin();
}

void TovEmpty::UpdateOrigin() {
  POINT origin{0, 0};
  if (Handle() && ::ClientToScreen(Handle(), &origin)) FOrigin = {origin.x, origin.y};
}

core::Point TovEmpty::ScreenPoint(LPARAM lParam) const {
  return core::ClientToScreenPoint({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, FOrigin.x, FOrigin.y);
}

LRESULT TovEmpty::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      WMLButtonDown(ScreenPoint(lParam));
      return 0;
    case WM_MOUSEMOVE:
      WMMouseMove(ScreenPoint(lParam));
      return 0;
    case WM_LBUTTONUP:
      WMLButtonUp();
      return 0;
    case WM_WINDOWPOSCHANGED:
      UpdateOrigin();
      break;
    case WM_DPICHANGED:
      // Spanning monitors of different scales must not shrink the overlay to one monitor's suggestion.
      CoverVirtualScreen();
      return 0;
    case WM_DISPLAYCHANGE:
      if (Visible()) CoverVirtualScreen();
      break;
    default:
      break;
  }
  return Form::HandleMessage(message, wParam, lParam);
}

void TovEmpty::WMLButtonDown(core::Point screen) {
  Dragging = true;
  DragRect = {screen.x, screen.y, screen.x, screen.y};
}

void TovEmpty::WMMouseMove(core::Point screen) {
  if (!Dragging) return;
  OldRect = DragRect;
  DragRect.right = screen.x;
  DragRect.bottom = screen.y;
  InvertFrame(OldRect);
  InvertFrame(DragRect);
}

void TovEmpty::WMLButtonUp() {
  if (Dragging) InvertFrame(DragRect);
  Dragging = false;
  Close();  // the point of the release is not used: the last move set the corner
}

void InvertFrame(const core::Rect& rect) {
  const core::Rect r = core::NormalizeRect(rect);
  if (r.IsEmpty()) return;
  // In 64 bits: a rectangle spanning more than half the 32-bit range has no int width.
  const long long w64 = static_cast<long long>(r.right) - r.left;
  const long long h64 = static_cast<long long>(r.bottom) - r.top;
  if (w64 > INT_MAX || h64 > INT_MAX) return;
  const int w = static_cast<int>(w64);
  const int h = static_cast<int>(h64);
  const gui::WindowDc screen = gui::WindowDc::Whole();
  // The side bands lie between the top and bottom bands, so no pixel is inverted twice. For a frame under four
  // pixels high their height is negative; the same calls undo themselves all the same.
  ::PatBlt(screen.dc(), r.left, r.top, w, kBand, DSTINVERT);
  ::PatBlt(screen.dc(), r.left, r.top + kBand, kBand, h - 2 * kBand, DSTINVERT);
  ::PatBlt(screen.dc(), r.right - kBand, r.top + kBand, kBand, h - 2 * kBand, DSTINVERT);
  ::PatBlt(screen.dc(), r.left, r.bottom - kBand, w, kBand, DSTINVERT);
}

core::Rect SelectRegion() {
  if (!ovEmpty || !ovEmpty->Create()) return {};  // made at start-up, after the main window; if not, now
  ovEmpty->CoverVirtualScreen();
  ovEmpty->ShowModal();
  // The capture follows at once: without the repaint the image would show the overlay's tint, not the screen.
  LetCoveredWindowsRepaint();
  return core::NormalizeRect(ovEmpty->DragRect);
}
