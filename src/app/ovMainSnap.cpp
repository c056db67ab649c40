// The snapshot commands of the main window: the target's window, or a region dragged on the overlay, captured
// into the bitmap file beside the executable, converted to PNG where the library is present, and opened.
#include <windows.h>

#include <string>

#include "app/ovApp.h"
#include "app/ovEmpty.h"
#include "app/ovMainForm.h"
#include "gui/Application.h"
#include "engine/ovSnapClipboard.h"
#include "engine/ovWinSnap.h"

namespace {

// Puts the main window and its tray icon back on screen when a snapshot command ends, however it ends: a capture
// that fails (an unwritable file) must not leave the program with neither a window nor a tray icon. Also called
// once the screen has been read, before the conversion library is waited for.
class ShowAgainOnExit {
 public:
  ShowAgainOnExit(gui::Form& form, gui::TrayIcon& tray) : form_(form), tray_(tray) {}
  ShowAgainOnExit(const ShowAgainOnExit&) = delete;
  ShowAgainOnExit& operator=(const ShowAgainOnExit&) = delete;
  ~ShowAgainOnExit() {
    try {
      ShowNow();
    } catch (...) {
      // Runs while an error may be leaving the command; that error is the one worth reporting.
    }
  }
  void ShowNow() {
    form_.Show();
    tray_.SetVisible(true);
  }

 private:
  gui::Form& form_;
  gui::TrayIcon& tray_;
};

// Marks a snapshot command as running for as long as it runs, however it ends.
class SnappingNow {
 public:
  explicit SnappingNow(bool& flag) : flag_(flag) { flag_ = true; }
  ~SnappingNow() { flag_ = false; }
  SnappingNow(const SnappingNow&) = delete;
  SnappingNow& operator=(const SnappingNow&) = delete;

 private:
  bool& flag_;
};

}  // namespace

// True while a snapshot command runs; its conversion dispatches messages, so another one could start meanwhile and
// write the same files. That one is refused in the balloon instead.
bool TovFrmMain::SnapshotRefused() {
  if (!FSnapping) return false;
  ti.ShowBalloon(L"A snapshot is still being made; try again once it shows", L"Skimlet", NIIF_WARNING, 5000);
  return true;
}

void TovFrmMain::bSnapWinClick() {
  if (SnapshotRefused()) return;
  if (!FUtils.IsValid()) ShowInfo(::GetDesktopWindow());
  if (!FUtils.IsValid()) return;

  const SnappingNow snapping(FSnapping);
  ShowAgainOnExit showAgain(*this, ti);
  if (miHideSelf->Checked()) {
    bh1.HideHint();
    Hide();
    ti.SetVisible(false);
    LetCoveredWindowsRepaint();
  }

  const DWORD start = ::GetTickCount();
  const bool itself = FUtils.SnapWindow(FTmpFileName);
  const DWORD elapsed = ::GetTickCount() - start;  // unsigned: right across the counter's wrap
  SetCaption(L"Skimlet " + std::to_wstring(elapsed));
  showAgain.ShowNow();  // the conversion may take a while: the program stays on screen meanwhile
  if (!itself) {
    ti.ShowBalloon(L"The window did not draw itself: the snapshot shows the screen as it is.", L"Window snapshot",
                   NIIF_WARNING, 5000);
  }

  ShowSnapshot();
  AddHistory();
}

void TovFrmMain::bSnapRegClick() {
  if (SnapshotRefused()) return;
  const SnappingNow snapping(FSnapping);
  ShowAgainOnExit showAgain(*this, ti);
  if (miHideSelf->Checked()) {
    // No pause here: the overlay's own loop lets the screen repaint before the user drags.
    bh1.HideHint();
    Hide();
    ti.SetVisible(false);
  }

  FUtils.SnapRect(SelectRegion(), FTmpFileName);
  showAgain.ShowNow();
  ShowSnapshot();
}

void TovFrmMain::ShowSnapshot() {
  const std::wstring shown = ConvertToPng(FTmpFileName, ovApp->ExeName);
  if (miSnapClipboard->Checked() &&
      !CopySnapshotToClipboard(Handle(), FTmpFileName, shown != FTmpFileName ? shown : std::wstring())) {
    ti.ShowBalloon(L"The snapshot could not be put on the clipboard: another program holds it", L"Skimlet",
                   NIIF_WARNING, 5000);
  }
  gui::Application::Instance().ShellOpenFile(shown);
}

void TovFrmMain::miSnapCursorClick() {
  miSnapCursor->SetChecked(!miSnapCursor->Checked());
  FUtils.SnapCursor = miSnapCursor->Checked();
}
