// skimlet.exe as a process of its own, driven from outside like the system and a user drive it: where its window
// opens, that closing or minimising only hides it to the tray while the process runs on, that the tray icon brings
// it back, that an end-of-session query is refused, and that Exit from the menu ends the process with exit code 0
// and takes the tray icon away, also while the window is hidden.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <optional>
#include <string>
#include <utility>

#include "base/Handles.h"
#include "support/Poll.h"
#include "support/Process.h"
#include "support/WaysToHide.h"

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;  // the tray icon's callback message and icon id in the program
constexpr UINT kTrayIconId = 1;

HWND ChildWithText(HWND parent, const wchar_t* text) {
  return ::FindWindowExW(parent, nullptr, L"Button", text);
}

class ShellProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring exe = fixture::BuiltSkimletPath();
    if (exe.empty()) GTEST_SKIP() << "skimlet.exe is not built beside the tests";
    ASSERT_TRUE(child.Start(exe));
    main = child.WaitForWindow(L"TovFrmMain");
    ASSERT_NE(main, nullptr);
    tray = child.WaitForWindow(L"SkimletTrayIconWindow");
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(Shown());
  }

  bool Hidden() { return fixture::PollUntil([&] { return !::IsWindowVisible(main); }, 3000); }
  bool Shown() { return fixture::PollUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 3000); }
  // As the shell reports a left click on the icon: to the icon's own window, press then release.
  void TrayClick() {
    ::PostMessageW(tray, kTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
    ::PostMessageW(tray, kTrayCallback, kTrayIconId, WM_LBUTTONUP);
  }
  // The program's pop-up menu (class "#32768") once it is on the screen; nullptr when it did not open.
  HWND WaitForOpenMenu() {
    HWND popup = nullptr;
    fixture::PollUntil([&] {
      popup = child.FindWindowOfClass(L"#32768");
      return popup && ::IsWindowVisible(popup);
    });
    return popup && ::IsWindowVisible(popup) ? popup : nullptr;
  }
  // Chooses Exit in the open pop-up menu by its accelerator letter, then waits for the process to end.
  std::optional<DWORD> ExitThroughMenuLetter() {
    fixture::PressKey('X');
    return child.WaitForExit(10000);
  }

  fixture::ChildProcess child;
  HWND main = nullptr;
  HWND tray = nullptr;
};

TEST_F(ShellProcessTest, OpensWhereThePlacementPutsItWithItsTrayIcon) {
  RECT area{};
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
  RECT bounds{};
  ::GetWindowRect(main, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  EXPECT_EQ(bounds.left, (area.right - area.left) - 2 * width);
  EXPECT_EQ(bounds.top, (area.bottom - area.top) - height);
  wchar_t caption[64] = {};
  ::GetWindowTextW(main, caption, 64);
  EXPECT_STREQ(caption, L"Skimlet");
  EXPECT_TRUE(fixture::ShellHoldsIcon(tray, kTrayIconId));
}

TEST_F(ShellProcessTest, ClosingAndMinimisingHideToTheTrayAndTheTrayIconBringsItBack) {
  for (const fixture::WayToHide& way : fixture::WaysToHide(main, [&] { TrayClick(); })) {
    SCOPED_TRACE(way.name);
    ASSERT_NO_FATAL_FAILURE(way.act());
    ASSERT_TRUE(Hidden());
    fixture::Settle(200);
    EXPECT_TRUE(child.Running());
    EXPECT_TRUE(fixture::ShellHoldsIcon(tray, kTrayIconId)) << "the icon stays in the notification area";
    TrayClick();
    ASSERT_TRUE(Shown());
    EXPECT_FALSE(::IsIconic(main)) << "comes back restored";
  }
}

TEST_F(ShellProcessTest, RefusesToEndTheSessionAndHides) {
  DWORD_PTR answer = 1;
  ASSERT_TRUE(::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_EQ(answer, 0u);
  EXPECT_TRUE(Hidden());
  EXPECT_TRUE(child.Running());
}

TEST_F(ShellProcessTest, ExitFromTheMenuButtonEndsTheProcessAndRemovesTheTrayIcon) {
  const HWND menuButton = ChildWithText(main, L"&Menu");
  ASSERT_NE(menuButton, nullptr);
  ASSERT_TRUE(fixture::ShellHoldsIcon(tray, kTrayIconId));
  fixture::ClickAt(fixture::CenterOf(menuButton));
  ASSERT_NE(WaitForOpenMenu(), nullptr) << "the menu opened";
  const auto code = ExitThroughMenuLetter();
  ASSERT_TRUE(code.has_value()) << "the process ended";
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(fixture::ShellHoldsIcon(tray, kTrayIconId));
}

TEST_F(ShellProcessTest, ExitFromTheTrayMenuWhileHiddenEndsTheProcessWithoutShowingTheWindow) {
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Hidden());
  // The right button's release on the icon opens the menu at the pointer.
  fixture::MoveMouseTo({600, 400});
  ::PostMessageW(tray, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
  ::PostMessageW(tray, kTrayCallback, kTrayIconId, WM_RBUTTONUP);
  const HWND popup = WaitForOpenMenu();
  ASSERT_NE(popup, nullptr) << "the menu opened";
  EXPECT_FALSE(::IsWindowVisible(main));
  // Under Wine a hidden window cannot take the keyboard focus, so the menu opened for it does not hear typed keys
  // until the user points at it; bringing the menu itself to the front stands in for that.
  ::SetForegroundWindow(popup);
  fixture::Settle(200);
  fixture::PressKey('X');
  const auto code = child.WaitForExit(10000);
  ASSERT_TRUE(code.has_value()) << "the process ended";
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(fixture::ShellHoldsIcon(tray, kTrayIconId));
}

TEST_F(ShellProcessTest, ASecondStartOfTheSameExecutableShowsTheFirstAndEnds) {
  // Two copies of one folder would each save their own lists over the other's: the second start hands over.
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Hidden());
  std::wstring path = child.ExePath();
  // The same file spelt otherwise: other letter case, forward slashes.
  for (wchar_t& c : path) c = c == L'\\' ? L'/' : static_cast<wchar_t>(::towupper(c));
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION second{};
  ASSERT_TRUE(::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &second));
  const base::UniqueHandleObject process(second.hProcess), thread(second.hThread);
  ASSERT_EQ(::WaitForSingleObject(second.hProcess, 20000), WAIT_OBJECT_0) << "the second copy ended";
  DWORD code = 1;
  ::GetExitCodeProcess(second.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(Shown()) << "the first copy's window came back from the tray";
  EXPECT_TRUE(child.Running());
}

}  // namespace
