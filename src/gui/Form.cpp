#include "gui/Form.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "gui/Application.h"

namespace gui {
namespace {

struct ThreadWindows {
  HWND except;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM data) noexcept {
  auto* windows = reinterpret_cast<ThreadWindows*>(data);
  try {
    if (window != windows->except && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
      windows->found.push_back(window);
    }
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

}  // namespace

Form::Form(FormDesign design) : design_(std::move(design)) {}

Form::~Form() {
  for (Control* control : controls_) control->Forget();
  controls_.clear();
  if (Handle()) ::DestroyWindow(Handle());
}

DWORD Form::Style() const {
  const DWORD style = design_.border == BorderStyle::None
                          ? WS_POPUP
                          : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
  return style | WS_CLIPCHILDREN;
}

DWORD Form::ExStyle() const {
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (design_.topmost) exStyle |= WS_EX_TOPMOST;
  if (design_.alpha) exStyle |= WS_EX_LAYERED;
  if (Application::Instance().MainForm() == this) exStyle |= WS_EX_APPWINDOW;
  return exStyle;
}

bool Form::Create() {
  if (Handle()) return true;
  if (!RegisterOwnClass(design_.className.c_str(), nullptr)) return false;
  Application& app = Application::Instance();
  const HWND owner = app.MainForm() == this ? nullptr : app.OwnerWindow();
  if (!CreateOwnWindow(ExStyle(), design_.className.c_str(), design_.caption.c_str(), Style(), design_.origin.x,
                       design_.origin.y, 100, 100, owner, nullptr)) {
    return false;
  }
  dpi_ = static_cast<int>(::GetDpiForWindow(Handle()));
  if (dpi_ <= 0) dpi_ = core::kDesignDpi;
  font_ = CreateFontForDpi(design_.font, dpi_);
  if (design_.color) brush_.reset(::CreateSolidBrush(*design_.color));
  if (design_.alpha) ::SetLayeredWindowAttributes(Handle(), 0, *design_.alpha, LWA_ALPHA);

  RECT frame{0, 0, Scale(design_.client.width), Scale(design_.client.height)};
  ::AdjustWindowRectExForDpi(&frame, Style(), FALSE, ExStyle(), static_cast<UINT>(dpi_));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  POINT origin = design_.origin;
  if (design_.position == FormPosition::ScreenCenter) {
    origin = {(::GetSystemMetrics(SM_CXSCREEN) - width) / 2, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2};
  }
  ::SetWindowPos(Handle(), nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

  try {
    if (OnCreate) OnCreate();
  } catch (...) {
    app.HandleException(std::current_exception());
  }
  Relayout();
  return true;
}

void Form::Show() { Show(design_.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL); }

void Form::BringToFront() {
  if (!Handle()) return;
  Show(::IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(Handle());
}

bool Form::FocusFirstControl() {
  if (!Handle() || ::GetActiveWindow() != Handle()) return false;
  for (Control* control : controls_) {
    const HWND window = control->Handle();
    if (window && (::GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP) && ::IsWindowVisible(window) &&
        ::IsWindowEnabled(window)) {
      ::SetFocus(window);
      return true;
    }
  }
  return false;
}

void Form::Show(int showCommand) {
  if (!Handle()) return;
  ::ShowWindow(Handle(), showCommand);
  SetShownState(::IsWindowVisible(Handle()) != FALSE);
}

void Form::Hide() {
  if (!Handle()) return;
  ::ShowWindow(Handle(), SW_HIDE);
  SetShownState(false);
}

bool Form::Visible() const { return Handle() && ::IsWindowVisible(Handle()); }

bool Form::CloseQueryAnswer() { return !OnCloseQuery || OnCloseQuery(); }

bool Form::Close() {
  if (!Handle() || !CloseQueryAnswer()) return false;
  if (modal_) {
    modalDone_ = true;
  } else if (Application::Instance().MainForm() == this) {
    ::DestroyWindow(Handle());
  } else {
    Hide();
  }
  return true;
}

void Form::ShowModal() {
  if (!Handle() || modal_) return;
  ThreadWindows others{Handle(), {}};
  ::EnumThreadWindows(::GetCurrentThreadId(), &CollectEnabledWindow, reinterpret_cast<LPARAM>(&others));
  for (HWND window : others.found) ::EnableWindow(window, FALSE);
  const HWND previousActive = ::GetActiveWindow();

  modal_ = true;
  modalDone_ = false;
  Show();
  ::SetActiveWindow(Handle());
  Application::Instance().RunModalLoop([this] { return modalDone_ || !Handle() || !::IsWindowVisible(Handle()); });
  modal_ = false;

  // Enable the others before hiding, so that activation can return to them.
  for (HWND window : others.found) {
    if (::IsWindow(window)) ::EnableWindow(window, TRUE);
  }
  Hide();
  if (previousActive && ::IsWindow(previousActive)) ::SetActiveWindow(previousActive);
}

std::wstring Form::Caption() const { return Handle() ? WindowText() : design_.caption; }

void Form::SetCaption(const std::wstring& caption) {
  design_.caption = caption;
  if (Handle()) ::SetWindowTextW(Handle(), caption.c_str());
}

void Form::SetTopmost(bool topmost) {
  design_.topmost = topmost;
  if (Handle()) {
    ::SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

COLORREF Form::Color() const { return design_.color ? *design_.color : ::GetSysColor(COLOR_BTNFACE); }

HBRUSH Form::BackgroundBrush() const { return brush_ ? brush_.get() : ::GetSysColorBrush(COLOR_BTNFACE); }

void Form::SetColor(COLORREF color) {
  design_.color = color;
  brush_.reset(::CreateSolidBrush(color));
  if (Handle()) ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::SetAlpha(std::optional<BYTE> alpha) {
  design_.alpha = alpha;
  if (!Handle()) return;
  const LONG_PTR exStyle = ::GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
  if (alpha) {
    ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(Handle(), 0, *alpha, LWA_ALPHA);
  } else {
    ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  }
}

int Form::AddControl(Control* control) {
  controls_.push_back(control);
  return nextControlId_++;
}

void Form::RemoveControl(Control* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void Form::Relayout() {
  if (!Handle() || ::IsIconic(Handle())) return;
  // Creation order places every panel before the controls inside it.
  for (Control* control : controls_) control->Place();
}

void Form::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  font_ = CreateFontForDpi(design_.font, dpi_);
  for (Control* control : controls_) control->ApplyFont();
}

void Form::SetShownState(bool shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (shown) {
    if (OnShow) OnShow();
  } else if (OnHide) {
    OnHide();
  }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto routed = RouteToControl(message, wParam, lParam)) return *routed;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(Handle(), &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
      return 1;
    }
    case WM_SHOWWINDOW:
      SetShownState(wParam != FALSE);
      break;
    case WM_WINDOWPOSCHANGED: {
      const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (position->flags & SWP_SHOWWINDOW) SetShownState(true);
      if (position->flags & SWP_HIDEWINDOW) SetShownState(false);
      break;
    }
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        if (Application::Instance().MainForm() == this) Application::Instance().RaiseMinimize();
      } else {
        Relayout();
      }
      break;
    case WM_DPICHANGED: {
      ApplyDpi(LOWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Relayout();
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      return CloseQueryAnswer() ? TRUE : FALSE;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it when the form was left.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsChild(Handle(), lastFocus_) &&
                 ::IsWindowEnabled(lastFocus_) && ::IsWindowVisible(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (design_.cursor && reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(design_.cursor);
        return TRUE;
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS;  // typed characters reach OnKeyPress instead of being read as mnemonics
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_LBUTTONDOWN:
      pressed_ = true;
      if (OnLButtonDown) OnLButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, static_cast<UINT>(wParam));
      return 0;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        if (OnClick) OnClick();
      }
      return 0;
    case WM_CHAR:
      if (OnKeyPress) OnKeyPress(static_cast<wchar_t>(wParam));
      return 0;
    case WM_DESTROY:
      Application::Instance().MainFormDestroyed(this);
      break;
    case WM_NCDESTROY:
      shown_ = false;
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace gui
