// The main window as a frame, on the real window inside this process: where it opens, what sits where on it, the
// ways it hides to the tray and comes back, the answer to an end-of-session query, Exit, and the menus as Windows
// holds them.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ovMainForm.h"
#include "base/Handles.h"
#include "gui/Application.h"
#include "gui/Menu.h"
#include "support/MenuReader.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"
#include "support/TrayIconProbe.h"
#include "support/WindowFacts.h"

namespace {

using fixture::SkimletSession;

RECT WindowRect(HWND window) {
  RECT bounds{};
  ::GetWindowRect(window, &bounds);
  return bounds;
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return text;
}

// A session whose executable lies in an empty folder, so that no list file adds menu entries.
class ShellTest : public ::testing::Test {
 protected:
  fixture::TempFolder folder{L"skimlet-shell"};
  SkimletSession session{folder.File(L"skimlet.exe")};
  TovFrmMain& main = session.Main();
  HWND window = main.Handle();

  bool Hidden() { return fixture::PollUntil([&] { return !::IsWindowVisible(window); }, 2000); }
  bool Shown() { return fixture::PollUntil([&] { return ::IsWindowVisible(window) != FALSE; }, 2000); }
  void TrayClick() {
    ::SendMessageW(main.ti.Window(), gui::TrayIcon::kCallbackMessage, gui::TrayIcon::kIconId, WM_LBUTTONDOWN);
    ::SendMessageW(main.ti.Window(), gui::TrayIcon::kCallbackMessage, gui::TrayIcon::kIconId, WM_LBUTTONUP);
  }
};

TEST_F(ShellTest, OpensTwoWidthsInFromTheRightWithItsBottomOnTheWorkArea) {
  const RECT area = gui::Application::WorkArea();
  const RECT bounds = WindowRect(window);
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
  EXPECT_EQ(TextOf(window), L"Skimlet");
}

TEST_F(ShellTest, EachControlSitsAtItsPlaceWithItsCaptionKindAndState) {
  struct Case {
    const char* name;
    HWND control;
    core::DesignRect design;  // relative to the form's client area
    std::wstring caption;
    std::wstring kind;
    bool enabled;
  };
  const Case cases[] = {
      {"pnl", main.pnl.Handle(), {8, 8, 32, 32}, L"", L"SkimletControl", true},
      {"grab", main.grab.Handle(), {8, 8, 32, 32}, L"", L"SkimletControl", true},
      {"cbEnable", main.cbEnable.Handle(), {48, 8, 60, 14}, L"&Enable", L"Button", false},
      {"cbVisible", main.cbVisible.Handle(), {107, 8, 60, 14}, L"&Visible", L"Button", false},
      {"cbTopmost", main.cbTopmost.Handle(), {166, 8, 60, 14}, L"&On top", L"Button", false},
      {"bSnapWin", main.bSnapWin.Handle(), {230, 6, 16, 16}, L"", L"SkimletControl", true},
      {"bSnapReg", main.bSnapReg.Handle(), {254, 6, 16, 16}, L"", L"SkimletControl", true},
      {"bMenu", main.bMenu.Handle(), {270, 2, 40, 20}, L"&Menu", L"Button", true},
      {"eLeft", main.eLeft.Handle(), {48, 24, 32, 20}, L"", L"Edit", true},
      {"eTop", main.eTop.Handle(), {81, 24, 32, 20}, L"", L"Edit", true},
      {"eWidth", main.eWidth.Handle(), {114, 24, 32, 20}, L"", L"Edit", true},
      {"eHeight", main.eHeight.Handle(), {147, 24, 32, 20}, L"", L"Edit", true},
      {"bSize", main.bSize.Handle(), {180, 24, 44, 20}, L"&Set", L"Button", false},
      {"tp", main.tp.Handle(), {224, 24, 86, 20}, L"", L"msctls_trackbar32", false},
      {"mm", main.mm.Handle(), {8, 52, 296, 153}, L"", L"Edit", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.control, nullptr);
    const core::PixelRect expected{main.Scale(c.design.left), main.Scale(c.design.top), main.Scale(c.design.width),
                                  main.Scale(c.design.height)};
    const RECT placed = fixture::RectInClient(c.control, window);
    EXPECT_EQ(placed.left, expected.left);
    EXPECT_EQ(placed.top, expected.top);
    EXPECT_EQ(placed.right - placed.left, expected.width);
    EXPECT_EQ(placed.bottom - placed.top, expected.height);
    EXPECT_EQ(fixture::ClassOf(c.control), c.kind);
    if (c.kind != L"Edit") {
      EXPECT_EQ(TextOf(c.control), c.caption);
    }
    EXPECT_EQ(::IsWindowEnabled(c.control) != FALSE, c.enabled);
    EXPECT_TRUE(::IsWindowVisible(c.control));
  }
  // The memo opens with its picture, the sentence intact on one line.
  const std::vector<std::wstring> lines = main.mm.Lines();
  EXPECT_EQ(lines.size(), 10u);
  bool sentence = false;
  for (const auto& line : lines) sentence = sentence || line.find(L"Please drag here to capture window") != line.npos;
  EXPECT_TRUE(sentence);
  EXPECT_EQ(::SendMessageW(main.mm.Handle(), EM_GETLINECOUNT, 0, 0), 10) << "no line of the picture wraps";
}

TEST_F(ShellTest, EveryWayOfClosingOrMinimisingHidesToTheTrayWithABalloon) {
  struct Case {
    const char* name;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"WM_CLOSE", [&] { ::SendMessageW(window, WM_CLOSE, 0, 0); }},
      {"system menu Close", [&] { ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"minimise", [&] { ::SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
      {"Alt+F4",
       [&] {
         ASSERT_TRUE(fixture::BringToFront(window));
         fixture::KeyChord({VK_MENU, VK_F4});
       }},
      {"tray click", [&] { TrayClick(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(::IsWindowVisible(window));
    const std::size_t balloons = gui::TrayIconProbe::BalloonsShown(main.ti);
    c.act();
    ASSERT_TRUE(Hidden());
    EXPECT_TRUE(::IsWindow(window)) << "the program keeps running";
    EXPECT_FALSE(main.FExiting);
    EXPECT_EQ(gui::TrayIconProbe::BalloonsShown(main.ti), balloons + 1);
    EXPECT_TRUE(main.ti.Visible()) << "the tray icon stays";

    // A click on the tray icon brings it back restored, even after a minimise.
    TrayClick();
    ASSERT_TRUE(Shown());
    EXPECT_FALSE(::IsIconic(window));
    fixture::Settle(50);
  }
}

TEST_F(ShellTest, TwoTrayClicksHideAndShowAgain) {
  for (int round = 0; round < 2; ++round) {
    TrayClick();
    EXPECT_TRUE(Hidden());
    TrayClick();
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
      session.Main().miExit->Click();
    }
    EXPECT_TRUE(session.Main().FExiting);
    EXPECT_FALSE(::IsWindow(window)) << "the main window closed, which ends the loop";
    EXPECT_EQ(g_showsOfWatched, 0);
  }
}

TEST_F(ShellTest, MenusAsWindowsHoldsThemMatchTheTables) {
  using gui::MenuEntry;
  const MenuEntry separator{L"", true};
  auto item = [](std::wstring text, bool checked = false) { return MenuEntry{std::move(text), false, checked}; };
  auto submenu = [](std::wstring text, std::vector<MenuEntry> items) {
    MenuEntry entry{std::move(text)};
    entry.items = std::move(items);
    return entry;
  };
  const std::vector<MenuEntry> expectedMain = {
      submenu(L"H&istory", {item(L"Add to history"), separator}),
      submenu(L"&Task", {item(L"Add a CloseOrClick task"), item(L"&Pause tasks"), item(L"&Test tasks"), separator}),
      separator,
      submenu(L"&Snap", {item(L"&Window"), item(L"&Region"),
                         submenu(L"&Options", {item(L"Snap &Cursor", true), item(L"&Hide Skimlet", true),
                                               item(L"Copy to clip&board"), item(L"Hot&keys", true),
                                               item(L"Window &itself")})}),
      separator,
      item(L"E&xit"),
      separator,
      item(L"&Help\tF1"),
      item(L"&About"),
  };
  const std::vector<MenuEntry> expectedSet = {item(L"&Add ..."), separator};

  const auto actualMain = gui::ReadMenu(main.pm.Handle());
  const auto actualSet = gui::ReadMenu(main.pmSet.Handle());
  ASSERT_EQ(actualMain.size(), expectedMain.size());
  for (std::size_t i = 0; i < expectedMain.size(); ++i) {
    EXPECT_EQ(actualMain[i], expectedMain[i]) << "entry " << i;
  }
  EXPECT_EQ(actualSet, expectedSet);

  // No caption gained an accelerator of its own: every "&" is one the tables wrote.
  std::function<int(const std::vector<MenuEntry>&)> ampersands = [&](const std::vector<MenuEntry>& entries) {
    int count = 0;
    for (const auto& entry : entries) {
      for (wchar_t ch : entry.text) count += ch == L'&';
      count += ampersands(entry.items);
    }
    return count;
  };
  EXPECT_EQ(ampersands(actualMain), ampersands(expectedMain));
  EXPECT_EQ(ampersands(actualSet), 1);

  // The snapshot option starts checked and reaches the target helper; Hide Skimlet only toggles its mark.
  EXPECT_TRUE(main.FUtils.SnapCursor);
  main.miHideSelf->Click();
  EXPECT_FALSE(gui::ReadMenu(main.pm.Handle())[3].items[2].items[1].checked);
  main.miHideSelf->Click();
  EXPECT_TRUE(gui::ReadMenu(main.pm.Handle())[3].items[2].items[1].checked);
  EXPECT_TRUE(::IsWindowVisible(window));
}

TEST_F(ShellTest, HelpOpensTheHelpFileBesideTheExecutable) {
  main.miHelp->Click();
  ASSERT_EQ(session.opened.size(), 1u);
  EXPECT_EQ(session.opened[0], folder.File(L"skimlet.pdf"));
  ASSERT_TRUE(fixture::WriteFileBytes(folder.File(L"skimlet.chm"), "ITSF"));
  main.miHelp->Click();
  ASSERT_EQ(session.opened.size(), 2u);
  EXPECT_EQ(session.opened[1], folder.File(L"skimlet.chm"));
}

}  // namespace

namespace {

TEST_F(ShellTest, F1OpensTheHelpWhereverTheFocusIsInTheWindow) {
  ASSERT_TRUE(fixture::BringToFront(window));
  ::SetFocus(main.eLeft.Handle());
  fixture::PressKey(VK_F1);
  ASSERT_TRUE(SkimletSession::RunLoopUntil([&] { return !session.opened.empty(); }));
  EXPECT_EQ(session.opened[0], folder.File(L"skimlet.pdf"));
}

}  // namespace
