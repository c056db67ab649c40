#pragma once
// An icon in the notification area, owned for its whole life: the destructor takes it out again.
//
// How to use:
//   gui::TrayIcon ti;
//   ti.SetTip(L"Skimlet");
//   ti.SetFrames({frame1, frame2});          // icons stay owned by the caller (an IconSet)
//   ti.SetAnimate(true);                      // one step every second, back to the first after the last
//   ti.OnClick = [] { ... };                  // left button pressed and released on the icon
//   ti.OnRightClick = [] { ... };             // right button released on the icon
//   ti.SetVisible(true);                      // adds the icon; SetVisible(false) hides it, SetVisible(true)
//                                             // shows it again; the destructor takes it out
//   ti.ShowBalloon(L"text", L"title", NIIF_INFO, 1000);
// Hiding keeps the icon added and sets its hidden state (NIS_HIDDEN) instead of deleting it: Wine's tray takes
// about two seconds to delete an icon (adding takes 30 ms, modifying 5 ms), and the snapshot commands hide the icon
// for every capture. Only the destructor deletes it.
// Every call to the shell goes through Application::NotifyIcon.
// The class keeps a hidden top-level window of its own: the shell posts the icon's mouse messages to it, the
// animation timer runs on it, and it hears the "TaskbarCreated" broadcast, on which a visible icon is added again
// (a restarted shell has forgotten it; a hidden one is added when it is next shown). An exception thrown by an event
// handler is caught at the window procedure and handed to OnException (dropped when that is empty).
//
// The callback uses the classic form (no NIM_SETVERSION): lParam carries the mouse message. It is what both Wine's
// tray and Windows deliver the same way; the handler reads LOWORD(lParam), which also holds for version 4.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/Window.h"

namespace gui {

class TrayIcon {
 public:
  static constexpr UINT kCallbackMessage = WM_APP + 1;
  static constexpr UINT kIconId = 1;
  static constexpr UINT kDefaultAnimationInterval = 1000;

  TrayIcon();
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // The icon shown (not owned). Frames set with SetFrames replace it as the animation steps.
  void SetIcon(HICON icon);
  HICON Icon() const { return icon_; }

  // The tip shown when the pointer rests on the icon; longer text is cut to what the shell holds (127 characters).
  void SetTip(std::wstring tip);
  const std::wstring& Tip() const { return tip_; }

  // Shows the icon in the notification area (adding it the first time) or hides it there. Returns whether the
  // shell accepted it.
  bool SetVisible(bool visible);
  bool Visible() const { return visible_; }
  // Whether the shell holds the icon, shown or hidden.
  bool Added() const { return added_; }

  // A balloon from the icon; false when the icon is not visible or the shell refused.
  // infoFlags: NIIF_NONE, NIIF_INFO, NIIF_WARNING or NIIF_ERROR. Texts are cut to 255 and 63 characters.
  bool ShowBalloon(const std::wstring& text, const std::wstring& title, DWORD infoFlags = NIIF_INFO,
                   UINT timeoutMs = 1000);

  // Animation frames (not owned). Setting them shows the first one.
  void SetFrames(std::vector<HICON> frames);
  // Starts or stops cycling through the frames on one timer, one step every interval (at least 10 ms).
  void SetAnimate(bool animate);
  void SetAnimationInterval(UINT ms);

  std::function<void()> OnClick;
  std::function<void()> OnRightClick;

  // The hidden window that receives the icon's messages; also a usable owner for a pop-up menu.
  HWND Window() const { return window_; }

 private:
  std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCallback(UINT mouse_message);
  void Step();
  void RestartTimer();
  bool AddToShell();
  bool SetHiddenState(bool hidden);
  bool Modify(UINT flags);
  NOTIFYICONDATAW Describe(UINT flags) const;

  HiddenWindow receiver_;
  HWND window_ = nullptr;  // receiver_'s window
  UINT taskbarCreated_ = 0;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool added_ = false;    // the shell holds the icon
  bool visible_ = false;  // ... and shows it
  bool leftDown_ = false;
  std::vector<HICON> frames_;
  std::size_t frame_ = 0;
  bool animate_ = false;
  UINT interval_ = kDefaultAnimationInterval;
};

}  // namespace gui
