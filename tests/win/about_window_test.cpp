// The about window on the real window, shown modally from the main window's menu: its look (no frame, size,
// opacity, colour, centred), its texts and icon, the links its buttons open, and the ways it closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ovFormAbout.h"
#include "app/ovMainForm.h"
#include "core/Product.h"
#include "gui/Handles.h"
#include "support/MainWindow.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"

namespace {

using fixture::SkimletSession;

// What to do while the about window is shown modally: run from a thread timer inside its modal loop. A second
// timer closes the window should the action leave it open, so a failing test cannot hang. A close asked for inside
// the action takes effect when the action has returned to the modal loop.
std::function<void()> g_whileShown;
bool g_fallbackClosed = false;

void CALLBACK RunWhileShown(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  auto action = std::move(g_whileShown);
  g_whileShown = nullptr;
  if (action) action();
}

void CALLBACK CloseLeftOpen(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (ovFrmAbout && ovFrmAbout->Visible()) {
    g_fallbackClosed = true;
    ovFrmAbout->Close();
  }
}

// Opens the about window through the menu item and runs `action` once it is on screen; returns when it closed.
void ShowAboutAnd(TovFrmMain& main, std::function<void()> action) {
  g_fallbackClosed = false;
  g_whileShown = [action = std::move(action)] {
    ASSERT_TRUE(fixture::PollUntil([] { return ovFrmAbout->Visible(); }));
    fixture::Settle(100);
    action();
  };
  ::SetTimer(nullptr, 0, 10, RunWhileShown);
  const UINT_PTR fallback = ::SetTimer(nullptr, 0, 8000, CloseLeftOpen);
  fixture::Choose(main, {L"&About"});
  ::KillTimer(nullptr, fallback);
}

POINT ClientToScreenPoint(HWND window, int x, int y) {
  POINT point{x, y};
  ::ClientToScreen(window, &point);
  return point;
}

class AboutTest : public ::testing::Test {
 protected:
  fixture::TempFolder folder{L"skimlet-about"};
  SkimletSession session{folder.File(L"skimlet.exe")};
  TovFrmMain& main = session.Main();
  TovFrmAbout& about = session.About();
};

TEST_F(AboutTest, IsABorderlessHalfTransparentBlueWindowInTheMiddleOfTheScreen) {
  const HWND window = about.Handle();
  EXPECT_FALSE(::IsWindowVisible(window)) << "created hidden";
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_TRUE(flags & LWA_ALPHA);

  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, about.Scale(320));
  EXPECT_EQ(client.bottom, about.Scale(180));

  // The background as the window paints it.
  {
    gui::WindowDc screen = gui::WindowDc::Client();
    gui::UniqueMemDc memory(::CreateCompatibleDC(screen.dc()));
    gui::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.dc(), client.right, client.bottom));
    gui::SelectedObject selected(memory.get(), bitmap.get());
    ::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()), 0);
    EXPECT_EQ(::GetPixel(memory.get(), 5, 5), RGB(0, 85, 255));
  }

  COLORREF seen = CLR_INVALID;
  RECT bounds{};
  ShowAboutAnd(main, [&] {
    ::GetWindowRect(about.Handle(), &bounds);
    gui::WindowDc screen = gui::WindowDc::Client();
    const POINT corner = ClientToScreenPoint(about.Handle(), 4, 4);
    seen = ::GetPixel(screen.dc(), corner.x, corner.y);
    about.Close();
  });
  EXPECT_FALSE(g_fallbackClosed);
  EXPECT_NEAR((bounds.left + bounds.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((bounds.top + bounds.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  // On screen: the blue itself where nothing composes windows (Wine on a bare X server), else the blue at 200/255
  // over whatever lies below.
  ASSERT_NE(seen, CLR_INVALID);
  EXPECT_LE(GetRValue(seen), 55);
  EXPECT_GE(GetGValue(seen), 66);
  EXPECT_LE(GetGValue(seen), 121);
  EXPECT_GE(GetBValue(seen), 200);
}

TEST_F(AboutTest, ShowsTheProductTheNoticeAndTheIconLoadedOnFirstShow) {
  EXPECT_EQ(about.img.Icon(), nullptr) << "not loaded before the first show";
  EXPECT_FALSE(about.pnl2.Visible()) << "the button row is hidden at design";
  EXPECT_EQ(about.lblProduct.Caption(), L"Skimlet");
  HICON first = nullptr;
  bool rowShown = false;
  ShowAboutAnd(main, [&] {
    first = about.img.Icon();
    rowShown = about.pnl2.Visible();
    about.Close();
  });
  EXPECT_NE(first, nullptr);
  EXPECT_TRUE(rowShown);
  EXPECT_EQ(about.lblProduct.Caption(), L"Skimlet") << "the design text stays";
  EXPECT_FALSE(about.lblCopright.Caption().empty());
  EXPECT_TRUE(about.lblCopright.Caption().find(L"Skimlet") != std::wstring::npos);

  ShowAboutAnd(main, [&] { about.Close(); });
  EXPECT_EQ(about.img.Icon(), first) << "loaded once";
  EXPECT_TRUE(::IsWindowEnabled(main.Handle())) << "the main window takes input again";
}

TEST_F(AboutTest, TheButtonsOpenTheLinksAndCloseCloses) {
  ShowAboutAnd(main, [&] {
    for (gui::Button* button : {&about.btnUpdate, &about.btnHome, &about.btnSupports}) {
      fixture::ClickAt(fixture::CenterOf(button->Handle()));
      fixture::Settle(150);
    }
    EXPECT_TRUE(about.Visible()) << "the link buttons leave the window open";
    fixture::ClickAt(fixture::CenterOf(about.btnClose.Handle()));
  });
  EXPECT_FALSE(g_fallbackClosed) << "Close closed the window";
  const std::wstring root{core::product::kWebRoot};
  const std::vector<std::wstring> expected = {
      root + L"/en/skimlet/download.htm?p=skimlet&v=2024.16.511.3038",
      root + L"?p=skimlet&v=2024.16.511.3038",
      L"mailto:" + std::wstring(core::product::kSupportMail) +
          L"?subject=Support required for Skimlet 2024.16.511.3038",
  };
  EXPECT_EQ(session.opened, expected);
}

TEST_F(AboutTest, AClickOnTheBackgroundOrALabelOrATypedCharacterCloses) {
  struct Case {
    const char* name;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"background", [&] { fixture::ClickAt(ClientToScreenPoint(about.Handle(), about.Scale(300), about.Scale(8))); }},
      {"product label", [&] { fixture::ClickAt(fixture::CenterOf(about.lblProduct.Handle())); }},
      {"notice label", [&] { fixture::ClickAt(fixture::CenterOf(about.lblCopright.Handle())); }},
      {"typed character",
       [&] {
         // Typed keys reach this thread only while its window is the foreground one.
         ASSERT_TRUE(fixture::BringToFront(about.Handle()));
         ::SetFocus(about.Handle());
         fixture::PressKey('Q');
       }},
      // Shown with the focus on the window itself, so the keys need no help to reach it.
      {"Esc",
       [&] {
         ASSERT_TRUE(fixture::BringToFront(about.Handle()));
         fixture::PressKey(VK_ESCAPE);
       }},
      {"Enter",
       [&] {
         ASSERT_TRUE(fixture::BringToFront(about.Handle()));
         fixture::PressKey(VK_RETURN);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The modal loop sees the input once the action has returned; the fallback would close it otherwise.
    ShowAboutAnd(main, c.act);
    EXPECT_FALSE(g_fallbackClosed);
    EXPECT_FALSE(about.Visible());
  }
  // The icon does not close it.
  bool stillOpen = false;
  ShowAboutAnd(main, [&] {
    fixture::ClickAt(fixture::CenterOf(about.img.Handle()));
    fixture::Settle(200);
    stillOpen = about.Visible();
    about.Close();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(session.opened.empty());
}

}  // namespace
