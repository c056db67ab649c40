// The tray icon: the shell holds it from the first show to the destructor, its callback messages become click events,
// the animation steps through the frames on its timer, and it comes back when the taskbar is re-created.
// The image list that supplies the frames is tested here too.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/IconSet.h"
#include "gui/TrayIcon.h"
#include "support/Poll.h"
#include "support/Process.h"
#include "support/TrayRecorder.h"

namespace {

using gui::TrayIcon;

// A 16x16 icon of one colour, standing in for artwork.
gui::UniqueIcon SolidIcon(COLORREF colour) {
  gui::WindowDc screen = gui::WindowDc::Client();
  gui::UniqueBitmap colourBits(::CreateCompatibleBitmap(screen.dc(), 16, 16));
  gui::UniqueBitmap mask(::CreateBitmap(16, 16, 1, 1, nullptr));
  {
    gui::UniqueMemDc dc(::CreateCompatibleDC(screen.dc()));
    gui::SelectedObject selected(dc.get(), colourBits.get());
    gui::UniqueBrush brush(::CreateSolidBrush(colour));
    RECT all{0, 0, 16, 16};
    ::FillRect(dc.get(), &all, brush.get());
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colourBits.get();
  info.hbmMask = mask.get();
  return gui::UniqueIcon(::CreateIconIndirect(&info));
}

void SendCallback(const TrayIcon& tray, UINT mouseMessage) {
  ::SendMessageW(tray.Window(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, mouseMessage);
}

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (COLORREF colour : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
      ASSERT_TRUE(images.Add(SolidIcon(colour)));
    }
  }
  gui::IconSet images{16};
};

TEST_F(TrayIconTest, ShellHoldsTheIconFromTheFirstShowUntilTheDestructor) {
  HWND window;
  {
    TrayIcon tray;
    window = tray.Window();
    ASSERT_NE(window, nullptr);
    tray.SetIcon(images.Icon(0));
    tray.SetTip(L"Skimlet");
    EXPECT_FALSE(fixture::ShellHoldsIcon(window, TrayIcon::kIconId)) << "not added before SetVisible(true)";
    ASSERT_TRUE(tray.SetVisible(true));
    EXPECT_TRUE(tray.Visible());
    EXPECT_TRUE(fixture::ShellHoldsIcon(window, TrayIcon::kIconId));
    EXPECT_TRUE(tray.SetVisible(true)) << "a second show is no error";

    // A snapshot hides it for the capture (the shell keeps it, hidden) and shows it again afterwards.
    EXPECT_TRUE(tray.SetVisible(false));
    EXPECT_FALSE(tray.Visible());
    EXPECT_EQ(fixture::ShellHoldsIcon(window, TrayIcon::kIconId), tray.Added());
    EXPECT_TRUE(tray.SetVisible(true));
    EXPECT_TRUE(fixture::ShellHoldsIcon(window, TrayIcon::kIconId));
  }
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_FALSE(fixture::ShellHoldsIcon(window, TrayIcon::kIconId)) << "the destructor removes the icon";
}

TEST_F(TrayIconTest, BalloonNeedsAVisibleIcon) {
  TrayIcon tray;
  tray.SetIcon(images.Icon(0));
  EXPECT_FALSE(tray.ShowBalloon(L"Skimlet", L"Skimlet\u2122", NIIF_INFO, 1000));
  ASSERT_TRUE(tray.SetVisible(true));
  EXPECT_TRUE(tray.ShowBalloon(L"Skimlet", L"Skimlet\u2122", NIIF_INFO, 1000));
  // Texts longer than the shell's fields are cut, not overrun.
  EXPECT_TRUE(tray.ShowBalloon(std::wstring(1000, L'x'), std::wstring(200, L'y')));
  tray.SetTip(std::wstring(500, L't'));
  EXPECT_TRUE(fixture::ShellHoldsIcon(tray.Window(), TrayIcon::kIconId));
}

TEST_F(TrayIconTest, CallbackMessagesBecomeClicks) {
  struct Case {
    const char* name;
    std::vector<UINT> messages;
    int clicks;
    int rightClicks;
  };
  const std::vector<Case> cases = {
      {"left press and release", {WM_LBUTTONDOWN, WM_LBUTTONUP}, 1, 0},
      {"release without press", {WM_LBUTTONUP}, 0, 0},
      {"one press, two releases", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONUP}, 1, 0},
      {"double click is two clicks", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}, 2, 0},
      {"pointer moves", {WM_MOUSEMOVE, WM_MOUSEMOVE}, 0, 0},
      {"right click on release", {WM_RBUTTONDOWN}, 0, 0},
      {"right press and release", {WM_RBUTTONDOWN, WM_RBUTTONUP}, 0, 1},
      {"taken out between press and release", {WM_LBUTTONDOWN, 0, WM_LBUTTONUP}, 0, 0},
  };
  for (const auto& c : cases) {
    // The messages need no icon in the shell, and leaving it out keeps the test quick: under Wine without a window
    // manager every removal from the notification area takes two seconds.
    TrayIcon tray;
    tray.SetIcon(images.Icon(0));
    int clicks = 0, rightClicks = 0;
    tray.OnClick = [&] { ++clicks; };
    tray.OnRightClick = [&] { ++rightClicks; };
    for (UINT message : c.messages) {
      if (message == 0) {
        ASSERT_TRUE(tray.SetVisible(true));
        tray.SetVisible(false);
      } else {
        SendCallback(tray, message);
      }
    }
    EXPECT_EQ(clicks, c.clicks) << c.name;
    EXPECT_EQ(rightClicks, c.rightClicks) << c.name;
  }
}

TEST_F(TrayIconTest, UnderstandsTheVersion4CallbackLayoutToo) {
  TrayIcon tray;
  int clicks = 0;
  tray.OnClick = [&] { ++clicks; };
  const WPARAM pointer = MAKEWPARAM(500, 600);
  ::SendMessageW(tray.Window(), TrayIcon::kCallbackMessage, pointer, MAKELPARAM(WM_LBUTTONDOWN, TrayIcon::kIconId));
  ::SendMessageW(tray.Window(), TrayIcon::kCallbackMessage, pointer, MAKELPARAM(WM_LBUTTONUP, TrayIcon::kIconId));
  EXPECT_EQ(clicks, 1);
}

TEST_F(TrayIconTest, HandlerExceptionsStopAtTheWindowAndAreReported) {
  TrayIcon tray;
  std::wstring reported;
  tray.OnClick = [] { throw std::runtime_error("boom"); };
  gui::Application::Instance().SetExceptionHandler([&](const std::wstring& message) { reported = message; });
  SendCallback(tray, WM_LBUTTONDOWN);
  SendCallback(tray, WM_LBUTTONUP);
  EXPECT_EQ(reported, L"boom");

  gui::Application::Instance().SetExceptionHandler(nullptr);  // no handler: dropped silently, still no crash
  SendCallback(tray, WM_LBUTTONDOWN);
  SendCallback(tray, WM_LBUTTONUP);
}

// The frames as the shell is handed them: the recorder sees each step.
TEST_F(TrayIconTest, AnimationCyclesTheFramesOnItsTimer) {
  fixture::TrayRecorder shell;
  TrayIcon tray;
  ASSERT_TRUE(tray.SetVisible(true));
  tray.SetFrames(images.Icons());
  EXPECT_EQ(shell.IconsShown().back(), images.Icon(0)) << "frames start at the first";
  const std::size_t before = shell.IconsShown().size();
  tray.SetAnimationInterval(20);
  fixture::Settle(100);
  EXPECT_EQ(shell.IconsShown().size(), before) << "no steps before SetAnimate(true)";

  const auto steps = [&] { return shell.IconsShown().size() - before; };
  tray.SetAnimate(true);
  ASSERT_TRUE(fixture::PollUntil([&] { return steps() >= 4; }));
  tray.SetAnimate(false);
  const std::size_t stepped = steps();
  const std::vector<HICON> shown = shell.IconsShown();
  for (std::size_t i = 0; i < stepped; ++i) {
    EXPECT_EQ(shown[before + i], images.Icon((i + 1) % 3)) << "step " << i << ": back to the first after the last";
  }
  EXPECT_TRUE(fixture::ShellHoldsIcon(tray.Window(), TrayIcon::kIconId));

  fixture::Settle(100);
  EXPECT_EQ(steps(), stepped) << "stopped";

  // The animation goes on while the icon is out of the notification area, and shows the right frame on return.
  tray.SetVisible(false);
  tray.SetAnimate(true);
  ASSERT_TRUE(fixture::PollUntil([&] { return steps() >= stepped + 2; }));
  tray.SetAnimate(false);
  EXPECT_EQ(shell.IconsShown().back(), images.Icon(steps() % 3));
  EXPECT_EQ(tray.Icon(), shell.IconsShown().back());
}

TEST_F(TrayIconTest, RepeatedStartsKeepOneTimer) {
  fixture::TrayRecorder shell;
  TrayIcon tray;
  ASSERT_TRUE(tray.SetVisible(true));
  tray.SetFrames(images.Icons());
  tray.SetAnimationInterval(50);
  const std::size_t before = shell.IconsShown().size();
  for (int i = 0; i < 5; ++i) tray.SetAnimate(true);
  const DWORD start = ::GetTickCount();
  fixture::Settle(500);
  const DWORD elapsed = ::GetTickCount() - start;
  tray.SetAnimate(false);
  // Timers never fire early; five timers would step about five times as often.
  const std::size_t steps = shell.IconsShown().size() - before;
  EXPECT_LE(steps, elapsed / 50 + 1);
  EXPECT_GE(steps, 1u);
}

TEST_F(TrayIconTest, ComesBackWhenTheTaskbarIsRecreated) {
  const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  TrayIcon tray;
  tray.SetIcon(images.Icon(1));
  ASSERT_TRUE(tray.SetVisible(true));

  // A restarted shell has forgotten every icon.
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = tray.Window();
  data.uID = TrayIcon::kIconId;
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &data));
  ASSERT_FALSE(fixture::ShellHoldsIcon(tray.Window(), TrayIcon::kIconId));

  ::SendMessageW(tray.Window(), taskbarCreated, 0, 0);
  EXPECT_TRUE(fixture::ShellHoldsIcon(tray.Window(), TrayIcon::kIconId));

  // A restart while the icon is hidden: it stays out until it is shown again.
  tray.SetVisible(false);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  ::SendMessageW(tray.Window(), taskbarCreated, 0, 0);
  EXPECT_FALSE(fixture::ShellHoldsIcon(tray.Window(), TrayIcon::kIconId));
  EXPECT_TRUE(tray.SetVisible(true));
  EXPECT_TRUE(fixture::ShellHoldsIcon(tray.Window(), TrayIcon::kIconId));
}

TEST(IconSet, OwnsIconsOfOneSize) {
  gui::IconSet list(16);
  EXPECT_EQ(list.Size(), 16);
  EXPECT_FALSE(list.Add(gui::UniqueIcon()));
  EXPECT_FALSE(list.AddFromResource(nullptr, L"NO_SUCH_ICON"));
  EXPECT_EQ(list.Count(), 0u);

  gui::UniqueIcon red = SolidIcon(RGB(255, 0, 0));
  const HICON redHandle = red.get();
  ASSERT_TRUE(list.Add(std::move(red)));
  ASSERT_TRUE(list.Add(SolidIcon(RGB(0, 0, 255))));
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.Icon(0), redHandle);
  EXPECT_EQ(list.Icons(), (std::vector<HICON>{list.Icon(0), list.Icon(1)}));
  EXPECT_THROW(list.Icon(2), std::out_of_range);
}

TEST(IconSet, LoadsTheTrayFramesFromResourcesAtItsSize) {
  for (const wchar_t* name : {L"TRAY_1", L"TRAY_2"}) {
    if (!::FindResourceW(nullptr, name, RT_GROUP_ICON)) GTEST_SKIP() << "tray artwork not linked in yet";
    gui::IconSet list(16);
    ASSERT_TRUE(list.AddFromResource(nullptr, name));
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(list.Icon(0), &info));
    gui::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bits{};
    ::GetObjectW(info.hbmMask, sizeof(bits), &bits);
    EXPECT_EQ(bits.bmWidth, 16);
  }
}

}  // namespace
