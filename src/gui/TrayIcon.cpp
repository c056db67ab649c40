#include "gui/TrayIcon.h"

#include <algorithm>

#include "gui/Window.h"

namespace gui {
namespace {

constexpr wchar_t kWindowClass[] = L"SkimletTrayIconWindow";
constexpr UINT_PTR kAnimationTimer = 1;

// Copies as much of text as fits, always leaving the terminating zero.
template <std::size_t N>
void CopyCut(wchar_t (&target)[N], const std::wstring& text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::copy_n(text.data(), length, target);
  target[length] = L'\0';
}

}  // namespace

TrayIcon::TrayIcon() {
  taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  // A hidden top-level window rather than a message-only one: only top-level windows hear the
  // "TaskbarCreated" broadcast.
  receiver_.Create(kWindowClass, HiddenWindow::Kind::TopLevel, [this](UINT message, WPARAM wparam, LPARAM lparam) {
    return HandleMessage(message, wparam, lparam);
  });
  window_ = receiver_.Handle();
}

TrayIcon::~TrayIcon() {
  if (!window_) return;
  ::KillTimer(window_, kAnimationTimer);
  if (added_) {
    NOTIFYICONDATAW data = Describe(0);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
  }
}

NOTIFYICONDATAW TrayIcon::Describe(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_;
  CopyCut(data.szTip, tip_);
  return data;
}

bool TrayIcon::AddToShell() {
  NOTIFYICONDATAW data = Describe(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return added_;
}

bool TrayIcon::SetHiddenState(bool hidden) {
  NOTIFYICONDATAW data = Describe(NIF_STATE);
  data.dwState = hidden ? NIS_HIDDEN : 0;
  data.dwStateMask = NIS_HIDDEN;
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool TrayIcon::Modify(UINT flags) {
  // A hidden icon is kept up to date too, so that it shows the current frame and tip when it comes back.
  if (!added_ || !window_) return false;
  NOTIFYICONDATAW data = Describe(flags);
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void TrayIcon::SetIcon(HICON icon) {
  icon_ = icon;
  Modify(NIF_ICON);
}

void TrayIcon::SetTip(std::wstring tip) {
  tip_ = std::move(tip);
  Modify(NIF_TIP);
}

bool TrayIcon::SetVisible(bool visible) {
  if (!window_) return false;
  if (visible == visible_) return true;
  if (visible) {
    if (added_ && SetHiddenState(false)) {
      visible_ = true;
      return true;
    }
    // Never added, or the shell has forgotten it: add it afresh.
    if (!AddToShell()) return false;
    visible_ = true;
    return true;
  }
  visible_ = false;
  left_down_ = false;
  // A shell that no longer knows the icon shows nothing either.
  if (!SetHiddenState(true)) added_ = false;
  return true;
}

bool TrayIcon::ShowBalloon(const std::wstring& text, const std::wstring& title, DWORD infoFlags, UINT timeoutMs) {
  if (!visible_ || !window_) return false;
  NOTIFYICONDATAW data = Describe(NIF_INFO);
  CopyCut(data.szInfo, text);
  CopyCut(data.szInfoTitle, title);
  data.dwInfoFlags = infoFlags;
  data.uTimeout = timeoutMs;
  if (!::Shell_NotifyIconW(NIM_MODIFY, &data)) return false;
  ++balloons_;
  last_balloon_ = data.szInfo;
  return true;
}

void TrayIcon::SetFrames(std::vector<HICON> frames) {
  frames_ = std::move(frames);
  frame_ = 0;
  if (!frames_.empty()) SetIcon(frames_.front());
}

void TrayIcon::SetAnimate(bool animate) {
  animate_ = animate;
  RestartTimer();
}

void TrayIcon::RestartTimer() {
  if (!window_) return;
  // SetTimer with the same id replaces the timer, so there is never more than one.
  if (animate_) {
    ::SetTimer(window_, kAnimationTimer, interval_, nullptr);
  } else {
    ::KillTimer(window_, kAnimationTimer);
  }
}

void TrayIcon::Step() {
  if (frames_.empty()) return;
  frame_ = (frame_ + 1) % frames_.size();
  ++steps_;
  SetIcon(frames_[frame_]);
}

void TrayIcon::OnCallback(UINT mouse_message) {
  switch (mouse_message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second press of a double click: two clicks, two events
      left_down_ = true;
      break;
    case WM_LBUTTONUP:
      if (left_down_) {
        left_down_ = false;
        if (OnClick) OnClick();
      }
      break;
    case WM_RBUTTONUP:
      if (OnRightClick) OnRightClick();
      break;
    default:
      break;
  }
}

std::optional<LRESULT> TrayIcon::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kCallbackMessage) {
    if (wparam == kIconId || HIWORD(lparam) == kIconId) OnCallback(LOWORD(lparam));
    return 0;
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    // The new shell knows no icons: a visible one is added again, a hidden one when it is next shown.
    added_ = false;
    if (visible_) AddToShell();
    return 0;
  }
  if (message == WM_TIMER && wparam == kAnimationTimer) {
    Step();
    return 0;
  }
  return std::nullopt;
}

}  // namespace gui
