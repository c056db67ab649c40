#include "gui/TrayIcon.h"

#include <algorithm>

#include "gui/Application.h"
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
  taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  // A hidden top-level window rather than a message-only one: only top-level windows hear the
  // "TaskbarCreated" broadcast.
  receiver_.Create(kWindowClass, HiddenWindow::Kind::TopLevel, [this](UINT message, WPARAM wParam, LPARAM lParam) {
    return HandleMessage(message, wParam, lParam);
  });
  window_ = receiver_.Handle();
}

TrayIcon::~TrayIcon() {
  if (!window_) return;
  ::KillTimer(window_, kAnimationTimer);
  if (added_) {
    NOTIFYICONDATAW data = Describe(0);
    Application::Instance().NotifyIcon(NIM_DELETE, data);
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
  added_ = Application::Instance().NotifyIcon(NIM_ADD, data);
  return added_;
}

bool TrayIcon::SetHiddenState(bool hidden) {
  NOTIFYICONDATAW data = Describe(NIF_STATE);
  data.dwState = hidden ? NIS_HIDDEN : 0;
  data.dwStateMask = NIS_HIDDEN;
  return Application::Instance().NotifyIcon(NIM_MODIFY, data);
}

bool TrayIcon::Modify(UINT flags) {
  // A hidden icon is kept up to date too, so that it shows the current frame and tip when it comes back.
  if (!added_ || !window_) return false;
  NOTIFYICONDATAW data = Describe(flags);
  return Application::Instance().NotifyIcon(NIM_MODIFY, data);
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
  leftDown_ = false;
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
  return Application::Instance().NotifyIcon(NIM_MODIFY, data);
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

void TrayIcon::SetAnimationInterval(UINT ms) {
  interval_ = ms < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : ms;
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
  SetIcon(frames_[frame_]);
}

void TrayIcon::OnCallback(UINT mouse_message) {
  switch (mouse_message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second press of a double click: two clicks, two events
      leftDown_ = true;
      break;
    case WM_LBUTTONUP:
      if (leftDown_) {
        leftDown_ = false;
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

std::optional<LRESULT> TrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCallbackMessage) {
    if (wParam == kIconId || HIWORD(lParam) == kIconId) OnCallback(LOWORD(lParam));
    return 0;
  }
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    // The new shell knows no icons: a visible one is added again, a hidden one when it is next shown.
    added_ = false;
    if (visible_) AddToShell();
    return 0;
  }
  if (message == WM_TIMER && wParam == kAnimationTimer) {
    Step();
    return 0;
  }
  return std::nullopt;
}

}  // namespace gui
