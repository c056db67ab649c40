// The main window as a frame, on the real window inside this process: where it opens, that its controls can all be
// seen, the ways it hides to the tray and comes back, the answer to an end-of-session query, Exit, and its menus.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/ovMainForm.h"
#include "base/Handles.h"
#include "gui/Application.h"
#include "support/InspectFixtures.h"
#include "support/MainWindow.h"
#include "support/MenuReader.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"
#include "support/WaysToHide.h"

namespace {

using fixture::SkimletSession;

// A session whose executable lies in an empty folder, so that no list file adds menu entries.
class ShellTest : public ::testing::Test {
 protected:
  fixture::TempFolder folder{L"skimlet-shell"};
  SkimletSession session{folder.File(L"skimlet.exe")};
  TovFrmMain& main = session.Main();
  HWND window = main.Handle();

  bool Hidden() { return fixture::PollUntil([&] { return !::IsWindowVisible(window); }, 2000); }
  bool Shown() { return fixture::PollUntil([&] { return ::IsWindowVisible(window) != FALSE; }, 2000); }
};

TEST_F(ShellTest, OpensTwoWidthsInFromTheRightWithItsBottomOnTheWorkArea) {
  const RECT area = gui::Application::WorkArea();
  RECT bounds{};
  ::GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  EXPECT_EQ(bounds.left, (area.right - area.left) - 2 * width);
  EXPECT_EQ(bounds.top, (area.bottom - area.top) - height);

  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, main.Scale(312));
  EXPECT_EQ(client.bottom, main.Scale(213));
  EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_EQ(fixture::TextOf(window), L"Skimlet");
}

TEST_F(ShellTest, TheControlsAreAllToBeSeenAndTheMemoShowsItsPicture) {
  fixture::ExpectControlsLaidOut(main);
  // The memo opens with its picture, the sentence intact on one line.
  const std::vector<std::wstring> lines = fixture::MemoLines(main);
  EXPECT_EQ(lines.size(), 10u);
  bool sentence = false;
  for (const auto& line : lines) sentence = sentence || line.find(L"Please drag here to capture window") != line.npos;
  EXPECT_TRUE(sentence);
  EXPECT_EQ(::SendMessageW(main.ControlHandle(L"mm"), EM_GETLINECOUNT, 0, 0), 10) << "no line of the picture wraps";
}

TEST_F(ShellTest, EveryWayOfClosingOrMinimisingHidesToTheTrayWithABalloon) {
  for (const fixture::WayToHide& way : fixture::WaysToHide(window, [&] { session.tray.Click(); })) {
    SCOPED_TRACE(way.name);
    ASSERT_TRUE(::IsWindowVisible(window));
    const std::size_t balloons = session.tray.Balloons().size();
    ASSERT_NO_FATAL_FAILURE(way.act());
    ASSERT_TRUE(Hidden());
    EXPECT_TRUE(::IsWindow(window)) << "the program keeps running";
    EXPECT_EQ(session.tray.Balloons().size(), balloons + 1);
    EXPECT_TRUE(session.tray.Shown()) << "the tray icon stays";

    // A click on the tray icon brings it back restored, even after a minimise.
    session.tray.Click();
    ASSERT_TRUE(Shown());
    EXPECT_FALSE(::IsIconic(window));
    fixture::Settle(50);
  }
}

TEST_F(ShellTest, TwoTrayClicksHideAndShowAgain) {
  for (int round = 0; round < 2; ++round) {
    session.tray.Click();
    EXPECT_TRUE(Hidden());
    session.tray.Click();
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(::IsIconic(window));
  }
}

TEST_F(ShellTest, AnEndOfSessionQueryIsAnsweredNoAndHidesTheWindow) {
  EXPECT_EQ(::SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
  EXPECT_TRUE(Hidden());
  EXPECT_TRUE(::IsWindow(window));
}

// Counts the main window's WM_SHOWWINDOW(TRUE) while it is installed: Exit must not show a hidden window first.
HWND g_watched = nullptr;
int g_showsOfWatched = 0;
LRESULT CALLBACK CountShows(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->hwnd == g_watched && message->message == WM_SHOWWINDOW && message->wParam) {
    ++g_showsOfWatched;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ShellExit, ExitClosesTheWindowAlsoWhileHidden) {
  for (const bool hideFirst : {false, true}) {
    SCOPED_TRACE(hideFirst ? "hidden" : "shown");
    fixture::TempFolder folder{L"skimlet-exit"};
    SkimletSession session{folder.File(L"skimlet.exe")};
    const HWND window = session.Main().Handle();
    if (hideFirst) {
      ::SendMessageW(window, WM_CLOSE, 0, 0);
      ASSERT_FALSE(::IsWindowVisible(window));
    }
    g_watched = window;
    g_showsOfWatched = 0;
    {
      const base::UniqueHandle<HHOOK, ::UnhookWindowsHookEx> hook(
          ::SetWindowsHookExW(WH_CALLWNDPROC, CountShows, nullptr, ::GetCurrentThreadId()));
      ASSERT_TRUE(hook);
      fixture::Choose(session.Main(), {L"E&xit"});
    }
    EXPECT_FALSE(::IsWindow(window)) << "the main window closed, which ends the loop";
    EXPECT_EQ(g_showsOfWatched, 0);
  }
}

// Every item of a menu level can be chosen by its own letter; the options start as they should and Hide Skimlet
// only toggles its mark.
TEST_F(ShellTest, MenuItemsHaveDistinctLettersAndTheOptionsTheirStartingMarks) {
  std::function<void(const std::vector<gui::MenuEntry>&)> expectDistinct = [&](const auto& entries) {
    std::set<wchar_t> letters;
    for (const gui::MenuEntry& entry : entries) {
      const std::size_t amp = entry.text.find(L'&');
      if (amp != std::wstring::npos) {
        EXPECT_EQ(entry.text.find(L'&', amp + 1), std::wstring::npos) << testing::PrintToString(entry.text);
        EXPECT_TRUE(letters.insert(static_cast<wchar_t>(std::towlower(entry.text[amp + 1]))).second)
            << "letter taken twice: " << testing::PrintToString(entry.text);
      }
      expectDistinct(entry.items);
    }
  };
  expectDistinct(gui::ReadMenu(main.MenuHandle(L"pm")));
  expectDistinct(gui::ReadMenu(main.MenuHandle(L"pmSet")));

  const std::pair<std::vector<std::wstring>, bool> options[] = {
      {{L"&Snap", L"&Options", L"Snap &Cursor"}, true},  {{L"&Snap", L"&Options", L"&Hide Skimlet"}, true},
      {{L"&Snap", L"&Options", L"Copy to clip&board"}, false}, {{L"&Snap", L"&Options", L"Hot&keys"}, true},
      {{L"&Snap", L"&Options", L"Window &itself"}, false},
  };
  for (const auto& [path, ticked] : options) EXPECT_EQ(fixture::MenuChecked(main, path), ticked);
  EXPECT_TRUE(main.Target().SnapCursor) << "the snapshot option reaches the target helper";
  for (const bool ticked : {false, true}) {
    fixture::Choose(main, {L"&Snap", L"&Options", L"&Hide Skimlet"});
    EXPECT_EQ(fixture::MenuChecked(main, {L"&Snap", L"&Options", L"&Hide Skimlet"}), ticked);
  }
  EXPECT_TRUE(::IsWindowVisible(window));
}

TEST_F(ShellTest, HelpOpensTheHelpFileBesideTheExecutable) {
  fixture::Choose(main, {L"&Help"});
  ASSERT_EQ(session.opened.size(), 1u);
  EXPECT_EQ(session.opened[0], folder.File(L"skimlet.pdf"));
  ASSERT_TRUE(fixture::WriteFileBytes(folder.File(L"skimlet.chm"), "ITSF"));
  fixture::Choose(main, {L"&Help"});
  ASSERT_EQ(session.opened.size(), 2u);
  EXPECT_EQ(session.opened[1], folder.File(L"skimlet.chm"));
}

}  // namespace

namespace {

TEST_F(ShellTest, F1OpensTheHelpWhereverTheFocusIsInTheWindow) {
  ASSERT_TRUE(fixture::BringToFront(window));
  ::SetFocus(main.ControlHandle(L"eLeft"));
  fixture::PressKey(VK_F1);
  ASSERT_TRUE(SkimletSession::RunLoopUntil([&] { return !session.opened.empty(); }));
  EXPECT_EQ(session.opened[0], folder.File(L"skimlet.pdf"));
}

}  // namespace
