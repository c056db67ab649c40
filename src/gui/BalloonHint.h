#pragma once
// Balloon hints for any number of controls through one tooltip window.
//
// How to use:
//   gui::BalloonHint bh1;                                   // a member of the window, made with it:
//   bh1.Create(mainWindow);                                 // the tooltip is owned by that window (may be null)
//   bh1.Add(button, L"Window Snapshot|Tips:\r\n  Press <Shift> to delay.");
//   bh1.SetHint(edit, L"cx: Width");                          // changes (or adds) a hint at run time
//   bh1.HideHint();                                           // takes a showing balloon away now
// A hint "title|text" shows the part before the first bar as the balloon's bold title and the rest as its text;
// a hint without a bar is shown as a title alone; an empty hint shows nothing. A balloon goes away after
// 2500 ms. Line breaks ("\r\n") in a hint start new lines; "&" is shown as it is.
// The tool texts are supplied on demand (TTN_GETDISPINFO), which is also the moment the title is set: the tooltip
// measures title and text right after asking, so each control's balloon gets its own title and size.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "gui/Handles.h"
#include "gui/Window.h"

namespace gui {

class BalloonHint {
 public:
  static constexpr int kAutoPopMs = 2500;
  static constexpr int kMaxTipWidth = 400;  // pixels at 96 DPI; lets "\r\n" break lines and wraps very long ones

  BalloonHint() = default;
  // The same as Create(owner).
  explicit BalloonHint(HWND owner);
  // Makes the tooltip, owned by `owner` (may be null); the hints' width follows the owner's DPI (the system's
  // without an owner). False when it could not be made, or was made before.
  bool Create(HWND owner);

  ~BalloonHint();
  BalloonHint(const BalloonHint&) = delete;
  BalloonHint& operator=(const BalloonHint&) = delete;

  // Registers a control with its hint; a control registered already gets the new hint.
  bool Add(HWND control, std::wstring hint);
  bool SetHint(HWND control, std::wstring hint) { return Add(control, std::move(hint)); }
  // Also shows a registered control's hint while the control is disabled. The window system hands the mouse over
  // a disabled child to its parent, so the hint is registered on the parent too, for the control's rectangle.
  bool AlsoWhenDisabled(HWND control);
  // Forgets a control (call before destroying it if the balloon hint lives on).
  bool Remove(HWND control);
  std::optional<std::wstring> Hint(HWND control) const;

  // Hides a balloon that is showing; the next hover shows it again.
  void HideHint();

  // Shows `hint` (title|text, as above) at once in a balloon pointing at the bottom of the control, wherever the
  // mouse is, for kAutoPopMs: for news that the user did not hover for.
  void ShowHintNow(HWND control, const std::wstring& hint);

  // The tooltip window (TTM_GETTOOLCOUNT, TTM_GETTEXT, TTM_GETTITLE answer from it).
  HWND Window() const { return tooltip_.get(); }

 private:
  friend class BalloonHintProbe;  // the tests' view of the title handed over last (tests/win/support)

  // The parents of AlsoWhenDisabled's controls are subclassed: the tooltip asks them for the texts of their tools,
  // and their tools' rectangles follow the controls.
  static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self) noexcept;
  TTTOOLINFOW ParentToolInfo(HWND control) const;
  std::optional<LRESULT> OnNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(NMHDR* header);
  TTTOOLINFOW ToolInfo(HWND control) const;
  void EndShowNow();

  HiddenWindow notify_;  // receives the tooltip's notifications for every tool
  UniqueWindow tooltip_;
  std::map<HWND, std::wstring> hints_;
  std::map<HWND, HWND> onParent_;  // controls of AlsoWhenDisabled and their parents, subclassed for the tooltip
  std::wstring shownTitle_;
  std::wstring shownText_;  // the text handed to the tooltip last; must outlive the notification
};

}  // namespace gui
