// The information panel on real windows: the memo's text, the boxes and their enabling, the geometry boxes and
// their hints, the Set button, the climb to the top-level window and dragging the target by the background.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "app/ovMainForm.h"
#include "core/HintText.h"
#include "support/BalloonHintProbe.h"
#include "support/InspectFixtures.h"
#include "support/MainWindow.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"
#include "support/WindowFacts.h"

namespace {

using fixture::HexDec;
using fixture::LowBits;

std::wstring StyleLine(HWND w) {
  wchar_t buffer[64];
  std::swprintf(buffer, 64, L"Style=0x%.6X 0x%.6X(EX)", static_cast<uint32_t>(::GetWindowLongW(w, GWL_STYLE)),
                static_cast<uint32_t>(::GetWindowLongW(w, GWL_EXSTYLE)));
  return buffer;
}

std::wstring Hex(uint32_t value) {
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"0x%.6X", value);
  return buffer;
}

class PanelTest : public ::testing::Test {
 protected:
  TovFrmMain& Main() { return session.Main(); }
  HWND Control(const wchar_t* name) { return Main().ControlHandle(name); }

  // The memo names w's facts, read here from the window itself (without asking its thread), one a line in this
  // order: handle, identifier, title, class, styles, font. A window without a title or font has no line for it.
  void ExpectMemoShows(HWND w, const std::wstring& font) {
    wchar_t title[256] = {}, className[256] = {};
    ::InternalGetWindowText(w, title, 256);
    ::GetClassNameW(w, className, 256);
    const std::pair<std::wstring, std::wstring> facts[] = {
        {L"HWND =", Hex(LowBits(w))},
        {L"ID   =", Hex(static_cast<uint32_t>(::GetDlgCtrlID(w)))},
        {L"Title=", title},
        {L"Class=", className},
        {L"Style=", Hex(static_cast<uint32_t>(::GetWindowLongW(w, GWL_STYLE)))},
        {L"Font =", font},
    };
    const std::vector<std::wstring> lines = fixture::MemoLines(Main());
    std::size_t line = 0;
    for (const auto& [label, fact] : facts) {
      if (fact.empty()) continue;
      ASSERT_LT(line, lines.size()) << "no line for " << testing::PrintToString(label);
      EXPECT_EQ(lines[line].substr(0, label.size()), label);
      EXPECT_NE(lines[line].find(fact), std::wstring::npos) << testing::PrintToString(lines[line]);
      ++line;
    }
    EXPECT_EQ(lines.size(), line);
  }

  fixture::SkimletSession session;
};

TEST_F(PanelTest, MemoTextForEachKindOfWindow) {
  if (Main().Dpi() != 96) GTEST_SKIP() << "font sizes below are given for 96 pixels per inch";
  const std::wstring dot(1, fixture::UserDecimalSeparator());
  fixture::SolidWindow known(L"Known title", {100, 100, 400, 300}, RGB(90, 90, 200));
  fixture::SolidWindow untitled(L"", {420, 100, 620, 300}, RGB(90, 200, 90), WS_EX_TOOLWINDOW);
  const wchar_t kForeign[] = L"\u041e\u043a\u043d\u043e \u7a97\u53e3 \u00e9t\u00e9";
  fixture::SolidWindow foreign(kForeign, {640, 100, 840, 300}, RGB(200, 90, 90));

  struct FontCase {
    int height, weight;
    bool italic, underline, strikeOut;
    int id;
    std::wstring text;
  };
  const std::vector<FontCase> fonts = {
      {-11, 400, false, false, false, 1001, L"Tahoma, 8pt"},
      {-13, 400, false, false, false, 1002, L"Tahoma, 9" + dot + L"5pt"},
      {-13, 401, false, false, false, 1003, L"Tahoma, 9" + dot + L"5pt Bold"},
      {-12, 700, true, false, false, 1004, L"Tahoma, 9pt Bold Italic"},
      {-16, 600, false, true, true, -5, L"Tahoma, 12pt Bold Underline StrikeOut"},
      {-16, 400, false, false, true, 0x7FFFFFFF, L"Tahoma, 12pt StrikeOut"},
  };
  std::vector<gui::UniqueFont> owned;
  struct Case {
    HWND window;
    int32_t id;
    std::wstring font;
  };
  std::vector<Case> cases = {{known.get(), 0, L""}, {untitled.get(), 0, L""}, {foreign.get(), 0, L""}};
  int y = 4;
  for (const FontCase& f : fonts) {
    owned.push_back(fixture::MakeFont(L"Tahoma", f.height, f.weight, f.italic, f.underline, f.strikeOut));
    HWND button = fixture::AddChild(known.get(), L"Button", L"Press", f.id, {4, y, 200, y + 26});
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(owned.back().get()), FALSE);
    cases.push_back({button, f.id, f.text});
    y += 30;
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "window with id " << c.id << ", font '"
                                    << std::string(c.font.begin(), c.font.end()) << "'");
    Main().ShowInfo(c.window);
    ExpectMemoShows(c.window, c.font);
  }
}

TEST_F(PanelTest, BoxesFollowTheTargetAndChildrenDisableTopmostAndOpacity) {
  fixture::SolidWindow top(L"Top", {100, 100, 400, 300}, RGB(90, 90, 200), WS_EX_TOPMOST);
  fixture::SolidWindow layered(L"Layered", {420, 100, 620, 300}, RGB(90, 200, 90), WS_EX_LAYERED);
  ASSERT_TRUE(::SetLayeredWindowAttributes(layered.get(), 0, 77, LWA_ALPHA));
  HWND disabled = fixture::AddChild(top.get(), L"Button", L"Off", 3, {4, 4, 100, 30},
                                    WS_CHILD | WS_VISIBLE | WS_DISABLED);
  HWND hidden = fixture::AddChild(top.get(), L"Button", L"Hidden", 4, {4, 40, 100, 70}, WS_CHILD);

  // Before any window is shown the panel is inert.
  EXPECT_FALSE(fixture::Enabled(Control(L"cbEnable")) || fixture::Enabled(Control(L"cbVisible")) || fixture::Enabled(Control(L"cbTopmost")) ||
               fixture::Enabled(Control(L"bSize")) || fixture::Enabled(Control(L"tp")));

  struct Case {
    HWND window;
    bool enabled, visible, topmost, child;
    int alpha;
  };
  const Case cases[] = {
      {top.get(), true, true, true, false, 255},
      {disabled, false, true, false, true, 255},
      {layered.get(), true, true, false, false, 77},
      {hidden, true, false, false, true, 255},
      {top.get(), true, true, true, false, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "window " << c.window);
    Main().ShowInfo(c.window);
    EXPECT_EQ(fixture::Checked(Control(L"cbEnable")), c.enabled);
    EXPECT_EQ(fixture::Checked(Control(L"cbVisible")), c.visible);
    EXPECT_EQ(fixture::Checked(Control(L"cbTopmost")), c.topmost);
    EXPECT_EQ(fixture::Position(Control(L"tp")), c.alpha);
    EXPECT_TRUE(fixture::Enabled(Control(L"cbEnable")) && fixture::Enabled(Control(L"cbVisible")) && fixture::Enabled(Control(L"bSize")));
    EXPECT_EQ(fixture::Enabled(Control(L"cbTopmost")), !c.child);
    EXPECT_EQ(fixture::Enabled(Control(L"tp")), !c.child);
    // The handlers that this ran gave the window back its own state, not the previous target's.
    EXPECT_EQ(::IsWindowEnabled(c.window) != FALSE, c.enabled);
    EXPECT_EQ((::GetWindowLongW(c.window, GWL_STYLE) & WS_VISIBLE) != 0, c.visible);
    EXPECT_EQ((::GetWindowLongW(c.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, c.topmost);
  }
  BYTE alpha = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(layered.get(), nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 77);
}

TEST_F(PanelTest, GeometryBoxesAndTheirHints) {
  fixture::SolidWindow target(L"Geometry", {-30, 120, 270, 320}, RGB(120, 120, 30));
  Main().ShowInfo(target.get());
  RECT r{};
  ::GetWindowRect(target.get(), &r);
  EXPECT_EQ(fixture::TextOf(Control(L"eLeft")), std::to_wstring(r.left));
  EXPECT_EQ(fixture::TextOf(Control(L"eTop")), std::to_wstring(r.top));
  EXPECT_EQ(fixture::TextOf(Control(L"eWidth")), std::to_wstring(r.right - r.left));
  EXPECT_EQ(fixture::TextOf(Control(L"eHeight")), std::to_wstring(r.bottom - r.top));
  const std::wstring widthHint = L"cx: Width (R:" + std::to_wstring(r.right) + L")";
  const std::wstring heightHint = L"cy: Height (B:" + std::to_wstring(r.bottom) + L")";
  EXPECT_EQ(Main().Hints().Hint(Control(L"eWidth")), widthHint);
  EXPECT_EQ(Main().Hints().Hint(Control(L"eHeight")), heightHint);
  EXPECT_EQ(Main().Hints().Hint(Control(L"eLeft")), L"x: Left");
}

TEST_F(PanelTest, SetButtonMovesOnlyWithFourGoodNumbers) {
  fixture::SolidWindow target(L"Mover", {100, 100, 400, 300}, RGB(30, 120, 120));
  struct Case {
    const wchar_t *left, *top, *width, *height;
    bool moves;
    RECT expected;
  };
  const RECT unmoved{100, 100, 400, 300};
  const Case cases[] = {
      {L"10", L"20", L"300", L"200", true, {10, 20, 310, 220}},
      {L"$A", L"20", L"300", L"200", true, {10, 20, 310, 220}},
      {L" 10", L"0x1E", L"-0", L"+200", true, {10, 30, 10, 230}},
      {L"10 ", L"20", L"300", L"200", false, unmoved},
      {L"10", L"20", L"3OO", L"200", false, unmoved},
      {L"10", L"20", L"300", L"", false, unmoved},
      {L"4294967306", L"20", L"300", L"200", false, unmoved},
      {L"10", L"-2147483649", L"300", L"200", false, unmoved},
      {L"10", L"20", L"$100000000", L"200", false, unmoved},
      {L"1 0", L"20", L"300", L"200", false, unmoved},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "left '" << std::string(c.left, c.left + std::wcslen(c.left)) << "' width '"
                                    << std::string(c.width, c.width + std::wcslen(c.width)) << "'");
    ::MoveWindow(target.get(), 100, 100, 300, 200, TRUE);
    Main().ShowInfo(target.get());
    fixture::Type(Control(L"eLeft"), c.left);
    fixture::Type(Control(L"eTop"), c.top);
    fixture::Type(Control(L"eWidth"), c.width);
    fixture::Type(Control(L"eHeight"), c.height);
    fixture::Click(Control(L"bSize"));
    RECT now{};
    ::GetWindowRect(target.get(), &now);
    EXPECT_TRUE(::EqualRect(&now, &c.expected)) << now.left << "," << now.top << "," << now.right << "," << now.bottom;
    if (c.moves) {
      EXPECT_EQ(Main().Target().WndRect, (core::Rect{c.expected.left, c.expected.top, c.expected.right,
                                                    c.expected.bottom}));
    }
  }
}

TEST_F(PanelTest, SetButtonDoesNothingWithoutALiveTarget) {
  {
    fixture::SolidWindow gone(L"Gone", {100, 100, 400, 300}, RGB(30, 30, 30));
    Main().ShowInfo(gone.get());
  }
  const auto history = [&] { return fixture::MenuCaptions(fixture::Submenu(Main(), L"H&istory"), 2); };
  const std::vector<std::wstring> before = history();
  fixture::Type(Control(L"eLeft"), L"10");
  fixture::Click(Control(L"bSize"));
  EXPECT_EQ(history(), before) << "nothing recorded";
}

TEST_F(PanelTest, StaleHandleShowsTheFailureValuesAndKeepsTheGeometry) {
  HWND stale = nullptr;
  {
    fixture::SolidWindow gone(L"Soon gone", {100, 100, 400, 300}, RGB(30, 30, 30), WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(gone.get(), 0, 40, LWA_ALPHA);
    Main().ShowInfo(gone.get());
    stale = gone.get();
  }
  Main().ShowInfo(stale);
  EXPECT_EQ(fixture::MemoText(Main()),
            L"HWND =" + HexDec(LowBits(stale)) + L"\r\nID   =0x000000(0)\r\nStyle=0x000000 0x000000(EX)");
  EXPECT_FALSE(fixture::Checked(Control(L"cbEnable")) || fixture::Checked(Control(L"cbVisible")) || fixture::Checked(Control(L"cbTopmost")));
  EXPECT_EQ(fixture::Position(Control(L"tp")), 255);
  EXPECT_EQ(fixture::TextOf(Control(L"eLeft")), L"100");
  EXPECT_EQ(fixture::TextOf(Control(L"eWidth")), L"300");
}

TEST_F(PanelTest, RightClickOnThePickerClimbsToTheTopLevelWindow) {
  fixture::SolidWindow owner(L"Owner", {100, 100, 400, 300}, RGB(60, 60, 160));
  fixture::OwnedWindow dialog = fixture::MakeDialog(owner.get(), L"Confirm", {420, 100, 720, 300});
  ASSERT_TRUE(dialog);
  HWND inDialog = fixture::AddChild(dialog.get(), L"Button", L"Off", 1002, {10, 10, 110, 40},
                                    WS_CHILD | WS_VISIBLE | WS_DISABLED);
  fixture::SolidWindow middle(L"Middle", {10, 10, 200, 150}, RGB(160, 60, 60), 0, owner.get(), 55);
  HWND deep = fixture::AddChild(middle.get(), L"Button", L"Deep", 56, {10, 10, 110, 40});
  const POINT picker = fixture::CenterOf(Control(L"grab"));

  struct Case {
    HWND shown;
    HWND expected;  // the target after a right click on the picker
  };
  const Case cases[] = {
      {deep, owner.get()},            // two levels down: all the way up
      {inDialog, owner.get()},        // an owned dialog's control: past the dialog to its owner
      {dialog.get(), dialog.get()},   // a top-level target: nothing happens
      {owner.get(), owner.get()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "shown " << c.shown);
    Main().ShowInfo(c.shown);
    fixture::ClickAt(picker, true);
    fixture::PollUntil([&] { return Main().Target().Wnd == c.expected; });
    fixture::Settle(50);  // the click has been handled, also where it changes nothing
    EXPECT_EQ(Main().Target().Wnd, c.expected);
    EXPECT_EQ(fixture::MemoLines(Main()).at(0), L"HWND =" + HexDec(LowBits(c.expected)));
    EXPECT_FALSE(Main().Picker().Grabbing);
  }
}

TEST_F(PanelTest, RightClickWithoutALiveTargetDoesNothing) {
  {
    fixture::SolidWindow parent(L"Parent", {100, 100, 400, 300}, RGB(60, 60, 160));
    Main().ShowInfo(fixture::AddChild(parent.get(), L"Button", L"Child", 9, {4, 4, 80, 30}));
  }
  const std::wstring before = fixture::MemoText(Main());
  fixture::ClickAt(fixture::CenterOf(Control(L"grab")), true);
  fixture::Settle(50);
  EXPECT_EQ(fixture::MemoText(Main()), before);
}

// Waits for the main window's press to be handled; a caption press posted to the main window itself is taken from
// the queue (and reported) instead of starting the window system's move loop.
bool PressBackground(TovFrmMain& main, POINT screen, std::vector<LPARAM>* ownCaptionPresses) {
  fixture::ClickAt(screen);
  const ULONGLONG deadline = ::GetTickCount64() + 3000;
  while (::GetTickCount64() < deadline) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_NCLBUTTONDOWN && message.hwnd == main.Handle()) {
        ownCaptionPresses->push_back(message.lParam);
        return true;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(10);
  }
  return false;
}

TEST_F(PanelTest, PressOnTheBackgroundDragsTheTargetOrElseTheMainWindow) {
  const POINT background = fixture::MainClientPoint(Main(), 44, 30);
  ASSERT_EQ(::WindowFromPoint(background), Main().Handle()) << "the point must be bare background";
  const LPARAM expected = MAKELPARAM(Main().Scale(44), Main().Scale(30));
  std::vector<LPARAM> ownPresses;
  {
    fixture::SolidWindow target(L"Dragged", {100, 100, 400, 300}, RGB(10, 100, 10));
    Main().ShowInfo(target.get());
    fixture::ClickAt(background);
    ASSERT_TRUE(fixture::PollUntil([&] { return !target.captionPresses.empty(); }));
    EXPECT_EQ(target.captionPresses.front(), expected);
  }
  // The target has gone: the main window moves itself.
  ASSERT_TRUE(PressBackground(Main(), background, &ownPresses));
  EXPECT_EQ(ownPresses.front(), expected);
}

TEST_F(PanelTest, AWindowThatStopsAnsweringIsShownWithinTheBound) {
  gui::UniqueFont font = fixture::MakeFont(L"Tahoma", -12, 700);
  fixture::ThreadWindow silent(L"Not answering", {100, 100, 400, 300}, font.get(), /*pump=*/false);
  ASSERT_NE(silent.get(), nullptr);
  for (HWND w : {silent.get(), silent.edit()}) {
    SCOPED_TRACE(testing::Message() << "window " << w);
    const auto start = std::chrono::steady_clock::now();
    Main().ShowInfo(w);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
    EXPECT_EQ(Main().Target().Wnd, w);
    const std::vector<std::wstring> lines = fixture::MemoLines(Main());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), L"HWND =" + HexDec(LowBits(w)));
    EXPECT_EQ(lines.back(), StyleLine(w)) << "no Font line after the style";
    // Setting the boxes ran the handlers; none of them waited for the silent thread.
    EXPECT_TRUE(fixture::Checked(Control(L"cbVisible")));
  }
  Main().ShowInfo(silent.get());
  ExpectMemoShows(silent.get(), L"");

  // Changing it does not wait for its thread either; the helper keeps the values it was given.
  fixture::Type(Control(L"eLeft"), L"20");
  const auto start = std::chrono::steady_clock::now();
  fixture::Click(Control(L"bSize"));
  fixture::Click(Control(L"cbEnable"));
  fixture::Slide(Control(L"tp"), 100);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(Main().Target().WndRect.left, 20);
  EXPECT_FALSE(Main().Target().Enabled);
  EXPECT_EQ(Main().Target().Alpha, 100);
}

TEST_F(PanelTest, ChangesASilentWindowDidNotTakeAreUndoneWithABalloonSayingSo) {
  fixture::ThreadWindow silent(L"Silent", {100, 100, 400, 300}, nullptr, /*pump=*/false);
  ASSERT_NE(silent.get(), nullptr);
  Main().ShowInfo(silent.get());
  ASSERT_TRUE(fixture::Checked(Control(L"cbEnable")));
  ASSERT_FALSE(fixture::Checked(Control(L"cbTopmost")));
  ASSERT_EQ(fixture::Position(Control(L"tp")), 255);
  const HWND balloon = Main().Hints().Window();

  fixture::Click(Control(L"cbEnable"));
  EXPECT_TRUE(fixture::Checked(Control(L"cbEnable")));
  EXPECT_TRUE(::IsWindowEnabled(silent.get()));
  EXPECT_TRUE(::IsWindowVisible(balloon));
  EXPECT_EQ(gui::BalloonHintProbe::ShownTitle(Main().Hints()), L"Set enabled or disabled");

  fixture::Click(Control(L"cbTopmost"));
  EXPECT_FALSE(fixture::Checked(Control(L"cbTopmost")));
  EXPECT_EQ(gui::BalloonHintProbe::ShownTitle(Main().Hints()), L"Stay On Top");

  fixture::Slide(Control(L"tp"), 100);
  EXPECT_EQ(fixture::Position(Control(L"tp")), 255);
  EXPECT_EQ(gui::BalloonHintProbe::ShownTitle(Main().Hints()), L"Set as transparent");
  EXPECT_FALSE(::GetWindowLongW(silent.get(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(PanelTest, DisabledControlsShowTheirHintsToo) {
  // Before the first pick the check boxes, the Set button and the track bar are disabled.
  const HWND balloon = Main().Hints().Window();
  for (const HWND control : {Control(L"cbEnable"), Control(L"tp")}) {
    ASSERT_FALSE(::IsWindowEnabled(control));
    fixture::MoveMouseTo(fixture::MainClientPoint(Main(), 4, 48));  // bare background first
    ::SendMessageW(balloon, TTM_POP, 0, 0);
    fixture::MoveMouseTo(fixture::CenterOf(control));
    const std::wstring hint = Main().Hints().Hint(control).value_or(L"");
    EXPECT_TRUE(fixture::PollUntil([&] {
      return ::IsWindowVisible(balloon) && gui::BalloonHintProbe::ShownTitle(Main().Hints()) == core::SplitHint(hint).title;
    })) << "no balloon over the disabled control hinted " << testing::PrintToString(hint);
  }
}

}  // namespace
