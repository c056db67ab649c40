// The picker driven by real mouse input: the drag, the inverted frame on the screen, the colour swatch, the
// events and the "Color" line.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/ovMainForm.h"
#include "core/ShownText.h"
#include "gui/Application.h"
#include "support/Drags.h"
#include "support/InspectFixtures.h"
#include "support/MainWindow.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"

namespace {

using fixture::SkimletSession;

COLORREF Inverted(COLORREF c) { return c ^ 0x00FFFFFF; }

// Pixels on the three-pixel frame of a window (one per strip) and one just inside it.
struct FramePixels {
  std::vector<POINT> frame;
  POINT inside;
};

FramePixels PixelsOf(HWND w) {
  RECT r{};
  ::GetWindowRect(w, &r);
  const int midX = (r.left + r.right) / 2;
  const int midY = (r.top + r.bottom) / 2;
  return {{{r.left, r.top}, {midX, r.top + 2}, {r.left + 1, midY}, {r.right - 1, midY}, {midX, r.bottom - 3},
           {r.right - 1, r.bottom - 1}},
          {r.left + 3, r.top + 3}};
}

// Whether w shows its own colour on the screen at every pixel that ExpectFrame reads.
bool ShowsItsColour(const fixture::SolidWindow& w) {
  const FramePixels pixels = PixelsOf(w.get());
  for (const POINT& p : pixels.frame) {
    if (fixture::ScreenPixel(p) != w.color()) return false;
  }
  return fixture::ScreenPixel(pixels.inside) == w.color();
}

// Every frame pixel of w shows its colour inverted (framed) or plain; the pixel inside is always plain.
void ExpectFrame(const fixture::SolidWindow& w, bool framed) {
  const FramePixels pixels = PixelsOf(w.get());
  for (const POINT& p : pixels.frame) {
    EXPECT_EQ(fixture::ScreenPixel(p), framed ? Inverted(w.color()) : w.color()) << "at " << p.x << "," << p.y;
  }
  EXPECT_EQ(fixture::ScreenPixel(pixels.inside), w.color());
}

class PickerTest : public ::testing::Test {
 protected:
  TovFrmMain& Main() { return session.Main(); }

  void Press() { fixture::PressPicker(Main()); }
  // Moves the pointer during the drag and lets the idle poll follow it; records the window the memo then names.
  void MoveTo(POINT screen, HWND expected) {
    ASSERT_NO_FATAL_FAILURE(fixture::MovePickerTo(Main(), screen, expected));
    SkimletSession::RunLoopUntil([] { return false; }, 60);  // a few more polls change nothing
    shown.push_back(fixture::MemoLines(Main()).at(0));
  }
  void Release() { fixture::ReleasePicker(Main()); }
  // The colour the swatch behind the picker shows on the screen, at its corner.
  COLORREF Swatch() {
    RECT swatch{};
    ::GetWindowRect(Main().ControlHandle(L"pnl"), &swatch);
    return fixture::ScreenPixel({swatch.left + 1, swatch.top + 1});
  }
  static std::wstring HandleLine(HWND w) { return L"HWND =" + fixture::HexDec(fixture::LowBits(w)); }

  SkimletSession session;
  std::vector<std::wstring> shown;  // the memo's first line after each move
};

TEST_F(PickerTest, PressAndReleaseOnThePickerReportsTheSwatchAlone) {
  const std::vector<std::wstring> banner = fixture::MemoLines(Main());
  Press();
  EXPECT_EQ(gui::Application::Instance().CursorIndex(), TovSkimlet::kGrabCursor);
  Release();
  EXPECT_EQ(gui::Application::Instance().CursorIndex(), 0);
  EXPECT_EQ(Main().Target().Wnd, nullptr);
  std::vector<std::wstring> expected = banner;  // no window shown; the swatch's colour once, at the end
  expected.push_back(L"Color=0xFFFFFF #FFFFFF RGB:255,255,255:255");
  EXPECT_EQ(fixture::MemoLines(Main()), expected);
}

TEST_F(PickerTest, DragFromAToBAndBackFramesOneWindowAtATime) {
  fixture::SolidWindow a(L"Fixture A", {100, 100, 400, 300}, RGB(200, 40, 40));
  fixture::SolidWindow b(L"Fixture B", {500, 100, 800, 300}, RGB(40, 160, 60));
  ASSERT_TRUE(fixture::PollUntil([&] { return ShowsItsColour(a) && ShowsItsColour(b); })) << "the fixtures painted";
  ExpectFrame(a, false);
  ExpectFrame(b, false);
  const HICON idleIcon = Main().Picker().Icon();

  Press();
  EXPECT_NE(Main().Picker().Icon(), idleIcon);
  MoveTo(fixture::CenterOf(a.get()), a.get());
  ExpectFrame(a, true);
  EXPECT_EQ(Swatch(), a.color());

  // Over the program's own window nothing is picked or sampled.
  MoveTo(fixture::MainClientPoint(Main(), 150, 120), a.get());
  EXPECT_EQ(Swatch(), a.color());

  MoveTo(fixture::CenterOf(b.get()), b.get());
  ExpectFrame(a, false);
  ExpectFrame(b, true);
  EXPECT_EQ(Swatch(), b.color());

  MoveTo({150, 150}, a.get());  // another point of A
  ExpectFrame(a, true);
  ExpectFrame(b, false);
  Release();

  ExpectFrame(a, false);
  ExpectFrame(b, false);
  // Over the program's own window the memo kept naming A.
  EXPECT_EQ(shown, (std::vector<std::wstring>{HandleLine(a.get()), HandleLine(a.get()), HandleLine(b.get()),
                                              HandleLine(a.get())}));
  EXPECT_EQ(Main().Picker().Icon(), idleIcon);
  EXPECT_EQ(gui::Application::Instance().CursorIndex(), 0);
  EXPECT_EQ(Main().Target().Wnd, a.get());
  EXPECT_EQ(Main().Picker().GrabWnd, a.get());
  const std::vector<std::wstring> lines = fixture::MemoLines(Main());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), HandleLine(a.get()));
  EXPECT_EQ(lines.back(), L"Color=0x2828C8 #C82828 RGB:200,40,40:88");
  // Nothing passed over during the drag was recorded.
  EXPECT_TRUE(fixture::MenuCaptions(fixture::Submenu(Main(), L"H&istory"), 2).empty());
}

TEST_F(PickerTest, DisabledControlIsPickedAsItselfAndChildrenDisableTopmost) {
  fixture::SolidWindow owner(L"Owner", {100, 400, 300, 600}, RGB(60, 60, 160));
  fixture::OwnedWindow dialog = fixture::MakeDialog(owner.get(), L"Confirm", {100, 100, 400, 300});
  ASSERT_TRUE(dialog);
  HWND disabled = fixture::AddChild(dialog.get(), L"Button", L"Off", 1002, {10, 10, 110, 40},
                                    WS_CHILD | WS_VISIBLE | WS_DISABLED);
  fixture::SolidWindow panel(L"Panel", {500, 100, 800, 300}, RGB(160, 60, 60));
  fixture::SolidWindow middle(L"Middle", {10, 10, 200, 150}, RGB(60, 160, 60), 0, panel.get(), 55);
  HWND deep = fixture::AddChild(middle.get(), L"Button", L"Deep", 56, {10, 10, 110, 40});
  fixture::Settle();

  Press();
  MoveTo(fixture::CenterOf(disabled), disabled);
  EXPECT_FALSE(fixture::Enabled(Main().ControlHandle(L"cbTopmost")));
  EXPECT_FALSE(fixture::Enabled(Main().ControlHandle(L"tp")));
  EXPECT_FALSE(fixture::Checked(Main().ControlHandle(L"cbEnable")));
  EXPECT_FALSE(::IsWindowEnabled(disabled));

  RECT dialogRect{};
  ::GetWindowRect(dialog.get(), &dialogRect);
  MoveTo({dialogRect.right - 20, dialogRect.bottom - 20}, dialog.get());
  EXPECT_TRUE(fixture::Enabled(Main().ControlHandle(L"cbTopmost")));
  EXPECT_TRUE(fixture::Enabled(Main().ControlHandle(L"tp")));
  EXPECT_TRUE(fixture::Checked(Main().ControlHandle(L"cbEnable")));

  MoveTo(fixture::CenterOf(deep), deep);
  EXPECT_FALSE(fixture::Enabled(Main().ControlHandle(L"cbTopmost")));
  MoveTo(fixture::CenterOf(disabled), disabled);
  Release();
  EXPECT_EQ(Main().Target().Wnd, disabled);
  EXPECT_FALSE(::IsWindowEnabled(disabled));
  EXPECT_TRUE(::IsWindowEnabled(dialog.get()));
}

TEST_F(PickerTest, AMillionCharacterTitleIsPickedWhileTheInterfaceAnswers) {
  const std::wstring title(1000000, L'T');
  fixture::SolidWindow w(title.c_str(), {100, 100, 400, 300}, RGB(40, 160, 60));
  ASSERT_TRUE(fixture::PollUntil([&] { return ShowsItsColour(w); })) << "the fixture painted";
  // Another thread asks the main window for an answer throughout the pick.
  std::atomic<bool> picking{true}, asking{true};
  std::atomic<int> unanswered{0};
  std::thread asker([&] {
    while (picking) {
      DWORD_PTR result = 0;
      if (!::SendMessageTimeoutW(Main().Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) ++unanswered;
      ::Sleep(20);
    }
    asking = false;
  });
  fixture::DragPickerTo(Main(), w.get());
  picking = false;
  EXPECT_TRUE(SkimletSession::RunLoopUntil([&] { return !asking; }));  // its last question is answered too
  asker.join();
  EXPECT_EQ(unanswered.load(), 0);
  EXPECT_EQ(Main().Target().WndTitle, title);  // whole, for matching
  const std::vector<std::wstring> memo = fixture::MemoLines(Main());
  ASSERT_GE(memo.size(), 3u);
  EXPECT_EQ(memo[2], L"Title=" + core::ShownText(title, core::kMemoTitleLength));
}

}  // namespace
