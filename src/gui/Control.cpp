#include "gui/Control.h"

#include <windowsx.h>

#include "gui/Form.h"

namespace gui {
namespace {

constexpr wchar_t kControlClass[] = L"SkimletControl";

}  // namespace

Control::~Control() {
  if (form_) form_->RemoveControl(this);
  if (Handle()) ::DestroyWindow(Handle());
}

Control* Control::FromHandle(HWND window) { return dynamic_cast<Control*>(Window::FromHandle(window)); }

bool Control::CreateSystemControl(Container& parent, const core::DesignRect& bounds, const wchar_t* className,
                                  DWORD style, DWORD exStyle, const std::wstring& caption) {
  if (Handle() || !parent.ContainerHandle() || !parent.ContainerForm()) return false;
  const HWND window = ::CreateWindowExW(exStyle, className, caption.c_str(), style | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                        parent.ContainerHandle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!window) return false;
  if (!Attach(window)) {
    ::DestroyWindow(window);
    return false;
  }
  return Adopt(parent, bounds, window);
}

bool Control::CreateOwnControl(Container& parent, const core::DesignRect& bounds, DWORD style, DWORD exStyle,
                               const std::wstring& caption) {
  if (Handle() || !parent.ContainerHandle() || !parent.ContainerForm()) return false;
  // Redrawn whole when resized: the painted controls centre, align or stretch their content to their size.
  if (!RegisterOwnClass(kControlClass, nullptr, CS_HREDRAW | CS_VREDRAW)) return false;
  const HWND window = CreateOwnWindow(exStyle, kControlClass, caption.c_str(), style | WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                      0, parent.ContainerHandle(), nullptr);
  if (!window) return false;
  return Adopt(parent, bounds, window);
}

bool Control::Adopt(Container& parent, const core::DesignRect& bounds, HWND window) {
  parent_ = &parent;
  form_ = parent.ContainerForm();
  design_ = bounds;
  const int id = form_->AddControl(this);
  ::SetWindowLongPtrW(window, GWLP_ID, id);
  ApplyFont();
  Place();
  return true;
}

void Control::Forget() {
  form_ = nullptr;
  parent_ = nullptr;
}

void Control::Place() {
  if (!Handle() || !parent_ || !form_) return;
  RECT client;
  ::GetClientRect(parent_->ContainerHandle(), &client);
  const core::PixelRect placed = core::Arrange(design_, anchors_, parent_->DesignClientSize(),
                                               client.right - client.left, client.bottom - client.top, form_->Dpi());
  ::SetWindowPos(Handle(), nullptr, placed.left, placed.top, placed.width, placed.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetBounds(const core::DesignRect& bounds) {
  design_ = bounds;
  Place();
}

void Control::SetAnchors(const core::Anchors& anchors) {
  anchors_ = anchors;
  Place();
}

std::wstring Control::Caption() const { return WindowText(); }

bool Control::ClientContains(LPARAM mousePosition) const {
  RECT client;
  ::GetClientRect(Handle(), &client);
  return ::PtInRect(&client, {GET_X_LPARAM(mousePosition), GET_Y_LPARAM(mousePosition)}) != FALSE;
}

void Control::SetCaption(const std::wstring& caption) {
  if (Handle()) ::SetWindowTextW(Handle(), caption.c_str());
}

bool Control::Enabled() const { return Handle() && ::IsWindowEnabled(Handle()); }

void Control::SetEnabled(bool enabled) {
  if (Handle()) ::EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

bool Control::Visible() const { return Handle() && (::GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE); }

void Control::SetVisible(bool visible) {
  if (Handle()) ::ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetFont(const FontSpec& font) {
  fontSpec_ = font;
  ApplyFont();
}

HFONT Control::Font() const {
  if (ownFont_) return ownFont_.get();
  return form_ ? form_->Font() : nullptr;
}

void Control::ApplyFont() {
  if (fontSpec_ && form_) ownFont_ = CreateFontForDpi(*fontSpec_, form_->Dpi());
  if (Handle()) ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
}

std::optional<LRESULT> Control::OnCtlColor(UINT message, HDC dc) {
  if (!parent_ || (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN)) return std::nullopt;
  ::SetBkColor(dc, parent_->BackgroundColor());
  return reinterpret_cast<LRESULT>(parent_->BackgroundBrush());
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (cursor_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_CONTEXTMENU:
      if (OnContextMenu) {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // From the keyboard both coordinates are -1; on 64-bit Windows the whole lParam need not be.
        if (screen.x == -1 && screen.y == -1) {  // then below the control's top-left corner
          RECT bounds;
          ::GetWindowRect(Handle(), &bounds);
          screen = {bounds.left, bounds.bottom};
        }
        OnContextMenu(screen);
        return 0;
      }
      break;
    case WM_GETFONT: {
      // System controls answer with the font they were given; our own classes know none.
      const LRESULT font = Window::HandleMessage(message, wParam, lParam);
      return font ? font : reinterpret_cast<LRESULT>(Font());
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

std::optional<LRESULT> RouteToControl(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam) {
        if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
          control->OnCommand(HIWORD(wParam));
          return 0;
        }
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
        control->OnScroll(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
        return control->OnCtlColor(message, reinterpret_cast<HDC>(wParam));
      }
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace gui
