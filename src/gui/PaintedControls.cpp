#include "gui/PaintedControls.h"

#include <windowsx.h>

#include "gui/Form.h"

namespace gui {
namespace {

MouseEvent MakeMouseEvent(MouseButton button, WPARAM wParam, LPARAM lParam) {
  return {button, static_cast<UINT>(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
}

}  // namespace

// --- PaintedControl

void PaintedControl::PaintBackground(HDC dc, const RECT& client) {
  if (Parent()) ::FillRect(dc, &client, Parent()->BackgroundBrush());
}

LRESULT PaintedControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // A panel's children notify the panel, not the form: hand their notifications to their control objects.
  if (const auto routed = RouteToControl(message, wParam, lParam)) return *routed;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(Handle(), &client);
      PaintBackground(reinterpret_cast<HDC>(wParam), client);
      return 1;
    }
    case WM_PAINT: {
      const PaintDc paint(Handle());
      if (!paint) return 0;
      RECT client;
      ::GetClientRect(Handle(), &client);
      PaintContent(paint.dc(), client);
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      ::GetClientRect(Handle(), &client);
      PaintBackground(reinterpret_cast<HDC>(wParam), client);
      PaintContent(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_LBUTTONDOWN:
      leftPressed_ = true;
      ::SetCapture(Handle());
      if (OnMouseDown) OnMouseDown(MakeMouseEvent(MouseButton::Left, wParam, lParam));
      return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (OnMouseDown) {
        const auto button = message == WM_RBUTTONDOWN ? MouseButton::Right : MouseButton::Middle;
        OnMouseDown(MakeMouseEvent(button, wParam, lParam));
      }
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPressed = leftPressed_;
      leftPressed_ = false;
      if (::GetCapture() == Handle()) ::ReleaseCapture();
      if (wasPressed && ClientContains(lParam) && OnClick) OnClick();
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != Handle()) leftPressed_ = false;
      break;
    case WM_SETFONT:
      // The default handling keeps no font; ours is read at paint time, so a new one needs a repaint.
      if (LOWORD(lParam)) ::InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;  // also when disabled-looking parents would pass the mouse through
    default:
      break;
  }
  return Control::HandleMessage(message, wParam, lParam);
}

// --- Panel

bool Panel::Create(Container& parent, const core::DesignRect& bounds, COLORREF color) {
  color_ = color;
  brush_.reset(::CreateSolidBrush(color));
  return CreateOwnControl(parent, bounds, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, {});
}

void Panel::SetColor(COLORREF color) {
  if (color == color_ && brush_) return;
  color_ = color;
  brush_.reset(::CreateSolidBrush(color));
  if (Handle()) ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Panel::PaintBackground(HDC dc, const RECT& client) { ::FillRect(dc, &client, brush_.get()); }

// --- Image

bool Image::Create(Container& parent, const core::DesignRect& bounds) {
  if (!CreateOwnControl(parent, bounds, 0, 0, {})) return false;
  if (autoSize_) FitToIcon();
  return true;
}

void Image::SetIcon(HICON icon) {
  ownedIcon_.reset();
  icon_ = icon;
  if (autoSize_) FitToIcon();
  if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void Image::SetIcon(UniqueIcon icon) {
  const HICON handle = icon.get();
  SetIcon(handle);
  ownedIcon_ = std::move(icon);
}

void Image::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_) FitToIcon();
}

void Image::FitToIcon() {
  if (!icon_ || !Handle()) return;
  ICONINFO info{};
  if (!::GetIconInfo(icon_, &info)) return;
  UniqueBitmap mask(info.hbmMask);
  UniqueBitmap colour(info.hbmColor);
  BITMAP bitmap{};
  if (!::GetObjectW(mask.get(), sizeof(bitmap), &bitmap)) return;
  const int width = bitmap.bmWidth;
  const int height = colour ? bitmap.bmHeight : bitmap.bmHeight / 2;  // a monochrome mask holds AND and XOR halves
  core::DesignRect bounds = Bounds();
  if (bounds.width == width && bounds.height == height) return;
  bounds.width = width;
  bounds.height = height;
  SetBounds(bounds);
}

void Image::PaintContent(HDC dc, const RECT& client) {
  if (icon_) ::DrawIconEx(dc, 0, 0, icon_, client.right, client.bottom, 0, nullptr, DI_NORMAL);
}

// --- ImageButton

bool ImageButton::Create(Container& parent, const core::DesignRect& bounds) {
  SetControlCursor(::LoadCursorW(nullptr, IDC_HAND));
  return Image::Create(parent, bounds);
}

// --- Label

bool Label::Create(Container& parent, const core::DesignRect& bounds, const std::wstring& caption) {
  return CreateOwnControl(parent, bounds, 0, 0, caption);
}

void Label::SetTextColor(COLORREF color) {
  textColor_ = color;
  if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetAlignment(Alignment alignment) {
  alignment_ = alignment;
  if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::PaintContent(HDC dc, const RECT& client) {
  const std::wstring text = Caption();
  UINT format = DT_NOPREFIX;
  format |= alignment_ == Alignment::Center ? DT_CENTER : alignment_ == Alignment::Right ? DT_RIGHT : DT_LEFT;
  format |= wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
  SelectedObject font(dc, Font());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, textColor_);
  RECT area = client;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
}

LRESULT Label::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = PaintedControl::HandleMessage(message, wParam, lParam);
  if (message == WM_SETTEXT) ::InvalidateRect(Handle(), nullptr, TRUE);
  return result;
}

}  // namespace gui
