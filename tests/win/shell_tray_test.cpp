// Hiding the tray icon keeps it in the shell and the shell stops showing it; showing it again brings it back. Where
// the tray is Wine's stand-alone one (an X display with no panel to dock into), its window is shown exactly while it
// shows an icon: with ours the only icon, that is what this test watches. Windows keeps its icons to itself, and
// the test then checks only what the API tells.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "gui/IconSet.h"
#include "gui/TrayIcon.h"
#include "support/Poll.h"
#include "support/Process.h"

namespace {

bool TrayWindowShown() {
  const HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
  return tray && ::IsWindowVisible(tray);
}

TEST(ShellTray, HidingKeepsTheIconInTheShellAndTheShellStopsShowingIt) {
  gui::IconSet images{16};
  ASSERT_TRUE(images.AddFromResource(nullptr, L"TRAY_1"));
  // Watchable only where the tray shows nothing before our icon comes.
  const bool watchable = !TrayWindowShown();
  {
    gui::TrayIcon tray;
    tray.SetIcon(images.Icon(0));
    tray.SetTip(L"Skimlet");
    ASSERT_TRUE(tray.SetVisible(true));
    // Wine's stand-alone tray appears with the first icon shown; a desktop's taskbar was there all along.
    const bool wine = watchable && fixture::PollUntil(TrayWindowShown, 1000);
    RecordProperty("stand_alone_tray_watched", wine ? 1 : 0);
    // As a snapshot does for every capture: hide, capture, show.
    for (int round = 0; round < 5; ++round) {
      SCOPED_TRACE(round);
      ASSERT_TRUE(tray.SetVisible(false));
      EXPECT_FALSE(tray.Visible());
      EXPECT_TRUE(tray.Added());
      EXPECT_TRUE(fixture::ShellHoldsIcon(tray.Window(), gui::TrayIcon::kIconId)) << "still held by the shell";
      EXPECT_FALSE(tray.ShowBalloon(L"Skimlet", L"Skimlet")) << "no balloon from a hidden icon";
      if (wine) {
        EXPECT_TRUE(fixture::PollUntil([] { return !TrayWindowShown(); })) << "the tray shows no icon";
      }
      tray.SetIcon(images.Icon(0));  // a hidden icon is kept up to date
      ASSERT_TRUE(tray.SetVisible(true));
      EXPECT_TRUE(tray.Visible());
      if (wine) {
        EXPECT_TRUE(fixture::PollUntil(TrayWindowShown)) << "the tray shows the icon again";
      }
    }
    // Hidden at the end: the destructor still takes it out of the shell.
    tray.SetVisible(false);
  }
  if (watchable) { EXPECT_TRUE(fixture::PollUntil([] { return !TrayWindowShown(); })); }
}

}  // namespace
