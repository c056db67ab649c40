// The main and about windows at 144 DPI (a second pass of the tests runs this program with the display at 144):
// the 96-DPI design scales by 1.5, rounded half away from zero as the layout rounds, fonts scale with it, and
// nothing is cut off or covered.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/ovFormAbout.h"
#include "app/ovMainForm.h"
#include "support/InspectFixtures.h"
#include "support/MainWindow.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"
#include "support/WindowFacts.h"

namespace {

using fixture::SkimletSession;

// 1.5 times a design value, halves rounded up (every design value is positive).
int At144(int design) { return (design * 3 + 1) / 2; }

LONG FontHeight(HWND window) {
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  LOGFONTW description{};
  if (!font || !::GetObjectW(font, sizeof(description), &description)) return 0;
  return description.lfHeight;
}

class Dpi144Test : public ::testing::Test {
 protected:
  void SetUp() override {
    const UINT dpi = ::GetDpiForSystem();
    if (dpi != 144) GTEST_SKIP() << "the display is at " << dpi << " DPI, not 144";
    session.emplace(folder.File(L"skimlet.exe"));
    ASSERT_EQ(session->Main().Dpi(), 144);
  }
  fixture::TempFolder folder{L"skimlet-dpi144"};
  std::optional<SkimletSession> session;
  TovFrmMain& Main() { return session->Main(); }
  TovFrmAbout& About() { return session->About(); }
};

struct Placed {
  const char* name;
  HWND control;
  core::DesignRect design;
};

void ExpectScaledAndInside(HWND form, const std::vector<Placed>& controls) {
  RECT client{};
  ::GetClientRect(form, &client);
  for (const Placed& c : controls) {
    SCOPED_TRACE(c.name);
    const RECT placed = fixture::RectInClient(c.control, form);
    EXPECT_EQ(placed.left, At144(c.design.left));
    EXPECT_EQ(placed.top, At144(c.design.top));
    EXPECT_EQ(placed.right - placed.left, At144(c.design.width));
    EXPECT_EQ(placed.bottom - placed.top, At144(c.design.height));
    EXPECT_GE(placed.left, 0);
    EXPECT_GE(placed.top, 0);
    EXPECT_LE(placed.right, client.right) << "cut off on the right";
    EXPECT_LE(placed.bottom, client.bottom) << "cut off at the bottom";
  }
}

TEST_F(Dpi144Test, MainWindowScalesByOneAndAHalfWithEveryControlToBeSeen) {
  RECT client{};
  ::GetClientRect(Main().Handle(), &client);
  EXPECT_EQ(client.right, 468);
  EXPECT_EQ(client.bottom, 320);  // 319.5 rounds up
  fixture::ExpectControlsLaidOut(Main());
  // Fonts scale too: Tahoma 11 px and 10 px, the memo's 11 px.
  EXPECT_EQ(FontHeight(Main().Handle()), -17);
  EXPECT_EQ(FontHeight(Main().ControlHandle(L"cbEnable")), -17);
  EXPECT_EQ(FontHeight(Main().ControlHandle(L"eLeft")), -15);
  EXPECT_EQ(FontHeight(Main().ControlHandle(L"mm")), -17);
}

TEST_F(Dpi144Test, HintsWrapAtAWidthScaledLikeTheWindow) {
  ASSERT_NE(Main().Hints().Window(), nullptr);
  EXPECT_EQ(::SendMessageW(Main().Hints().Window(), TTM_GETMAXTIPWIDTH, 0, 0), At144(gui::BalloonHint::kMaxTipWidth));
}

TEST_F(Dpi144Test, TheMemoPictureFitsWithoutWrapping) {
  const HWND memo = Main().ControlHandle(L"mm");
  EXPECT_EQ(::SendMessageW(memo, EM_GETLINECOUNT, 0, 0), 10) << "a line that wraps adds a line";
  RECT text{};
  ::SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  HDC dc = ::GetDC(memo);
  const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(memo, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  int widest = 0;
  for (const std::wstring& line : fixture::MemoLines(Main())) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(memo, dc);
  EXPECT_FALSE(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) << "a fixed-pitch face (the bit means variable pitch)";
  EXPECT_LE(widest, text.right - text.left);
  EXPECT_LE(10 * metrics.tmHeight, text.bottom - text.top);
}

TEST_F(Dpi144Test, AboutWindowScalesByOneAndAHalf) {
  RECT client{};
  ::GetClientRect(About().Handle(), &client);
  EXPECT_EQ(client.right, 480);
  EXPECT_EQ(client.bottom, 270);
  About().FormShow();  // loads the icon and shows the button row, as showing does
  ExpectScaledAndInside(About().Handle(), {
                                            {"lblProduct", About().lblProduct.Handle(), {20, 28, 280, 17}},
                                            {"lblCopright", About().lblCopright.Handle(), {67, 154, 233, 13}},
                                            {"pnl2", About().pnl2.Handle(), {20, 120, 280, 25}},
                                            {"btnUpdate", About().btnUpdate.Handle(), {20, 120, 100, 25}},
                                            {"btnHome", About().btnHome.Handle(), {120, 120, 60, 25}},
                                            {"btnSupports", About().btnSupports.Handle(), {180, 120, 70, 25}},
                                            {"btnClose", About().btnClose.Handle(), {250, 120, 50, 25}},
                                        });
  // The icon keeps its own 32-pixel size at its design place.
  const RECT icon = fixture::RectInClient(About().img.Handle(), About().Handle());
  EXPECT_EQ(icon.left, At144(12));
  EXPECT_EQ(icon.top, At144(22));
  EXPECT_LE(icon.right, client.right);
}

}  // namespace
