#pragma once
// TovWinUtils: the target window. SetWnd reads all of a window's properties at once; each setter records one new
// value and applies it with one window-system call. The fields are a snapshot: nothing refreshes them but SetWnd
// and the setters. The snapshot members (SnapRect, SnapWindow) are defined with the capture code.
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/Geometry.h"

class TovWinUtils {
 public:
  // Declaration order is part of the record's meaning; keep it.
  uint8_t Alpha = 0;
  bool Enabled = false;
  uint32_t WndExStyle = 0;
  bool IsChild = false;
  core::Rect WndRect;
  uint32_t WndStyle = 0;
  bool Topmost = false;
  bool Visible = false;
  std::wstring FontText;
  HWND Wnd = nullptr;
  int32_t WndId = 0;
  bool SnapCursor = false;
  bool SnapItself = false;  // a covered window's snapshot shows the window itself, not what covers it
  std::wstring WndClass;
  std::wstring WndTitle;

  // Makes w the target and reads its properties. Never waits longer than a short bound for a window whose thread
  // does not answer: the title then comes from the window manager's copy and the font stays empty.
  void SetWnd(HWND w);
  bool IsValid() const;
  // Whether the target's thread answered the latest message sent to it, by SetWnd or by a setter; a setter whose
  // target did not answer left the window as it was.
  bool Answered() const { return !FSilent; }
  // Whether the window, read back after the latest setter that reached it, is in the state asked for. A window can
  // refuse a change (it undoes a move, keeps itself enabled) or Windows drops it (the window's process runs with
  // higher rights); the setter's field then holds the state read back.
  bool Took() const { return FTook; }

  // Each setter records the value; it leaves the window alone when the window's thread does not answer within
  // the bound (the calls would otherwise wait for that thread without limit). True when the change was applied,
  // false when the window was left alone.
  bool SetEnabled(bool value);
  bool SetVisible(bool value);
  bool SetTopmost(bool value);
  bool SetAlpha(uint8_t value);
  bool SetWndRect(const core::Rect& value);

  // Snapshots (defined with the capture code): capture a screen rectangle, or the target window as CaptureWindow
  // does (its visible frame as the screen shows it, or with SnapItself the window itself where another window covers
  // it), into a bitmap file; SnapCursor draws the cursor in. A region the user drags on the overlay is captured with
  // SnapRect. SnapWindow returns false when the window itself was asked for but only the screen could be copied.
  void SnapRect(const core::Rect& rect, const std::wstring& fileName);
  bool SnapWindow(const std::wstring& fileName);

  // Logical pixels per inch used for the font size; 0 (the default) asks the system at each SetWnd. The main window
  // sets its own DPI here.
  void SetScreenPpi(int ppi) { FPpi = ppi; }

  // Longest wait for one message to the target's thread; and for one more try once it has stayed silent.
  static constexpr UINT kAnswerTimeoutMs = 250;
  static constexpr UINT kRetryTimeoutMs = 25;

 private:
  bool Answers();

  int FPpi = 0;
  bool FSilent = false;  // the target's thread did not answer the latest message sent to it
  bool FTook = true;     // the latest change reached the window and reads back as asked
};

// A window's title as SetWnd reads it: bounded in length, and in time for a thread that does not answer (the window
// manager's copy then). For a window of another process the window manager's copy is read at once, sending nothing.
std::wstring BoundedWindowTitle(HWND w);

// A window's opacity as SetWnd reads it: 255 unless it is layered and its attributes can be read. Sends nothing.
uint8_t WindowAlpha(HWND w);

// The window a pick at a screen point names: the window there, or the child one level below it at that point
// (WindowFromPoint passes over disabled children; ChildWindowFromPoint finds them). nullptr over no window.
HWND WindowUnderPoint(POINT point);

// Climbs from `start` with GetParent until it returns 0 and returns the last window reached (start itself when it
// has no parent). GetParent yields the owner of an owned pop-up, so the climb goes on through owners. `steps`, when
// given, receives the number of climbs. A chain that loops is cut after a few thousand steps.
HWND TopmostAncestor(HWND start, int32_t* steps = nullptr);
