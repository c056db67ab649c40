// Controls on real windows: setters that fire their events only on a change, user input, fonts, transparency.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "core/Layout.h"
#include "gui/PaintedControls.h"
#include "support/FixtureForm.h"
#include "support/Poll.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Create());
    form.Show();
    fixture::Settle();
  }
  fixture::FixtureForm form;
};

TEST_F(ControlsTest, CheckBoxSetterFiresOnlyWhenTheValueChanges) {
  gui::CheckBox box;
  ASSERT_TRUE(box.Create(form, {48, 8, 60, 14}, L"&Enable"));
  std::vector<bool> seen;
  box.OnClick = [&] { seen.push_back(box.Checked()); };

  struct Step {
    bool set;
    std::vector<bool> expected;
  };
  const Step steps[] = {
      {false, {}},                           // unchanged from the start: nothing
      {true, {true}},
      {true, {true}},                        // same value again: nothing
      {false, {true, false}},
      {false, {true, false}},
  };
  for (const Step& step : steps) {
    box.SetChecked(step.set);
    EXPECT_EQ(seen, step.expected) << "after SetChecked(" << step.set << ")";
    EXPECT_EQ(::SendMessageW(box.Handle(), BM_GETCHECK, 0, 0), step.set ? BST_CHECKED : BST_UNCHECKED);
  }
}

TEST_F(ControlsTest, CheckBoxUserClicksFireAndToggle) {
  gui::CheckBox box;
  ASSERT_TRUE(box.Create(form, {48, 8, 60, 14}, L"&Visible"));
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };

  ::SendMessageW(box.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(box.Checked());

  fixture::ClickAt(fixture::CenterOf(box.Handle()));
  ASSERT_TRUE(fixture::PollUntil([&] { return clicks == 2; })) << "a real mouse click did not reach the box";
  EXPECT_FALSE(box.Checked());

  // A setter after user clicks compares against what the user left.
  box.SetChecked(false);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, TrackBarSetterFiresOnlyWhenThePositionChanges) {
  gui::TrackBar bar;
  ASSERT_TRUE(bar.Create(form, {224, 24, 86, 20}));
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.Position()); };

  struct Step {
    int set;
    int position;
    std::size_t events;
  };
  const Step steps[] = {
      {0, 0, 0},        // the start position
      {255, 255, 1},
      {255, 255, 1},
      {300, 255, 1},    // clamped to the range: no change
      {-5, 0, 2},
      {128, 128, 3},
  };
  for (const Step& step : steps) {
    bar.SetPosition(step.set);
    EXPECT_EQ(bar.Position(), step.position) << "SetPosition(" << step.set << ")";
    EXPECT_EQ(::SendMessageW(bar.Handle(), TBM_GETPOS, 0, 0), step.position);
    EXPECT_EQ(seen.size(), step.events) << "SetPosition(" << step.set << ")";
  }
  EXPECT_EQ(::SendMessageW(bar.Handle(), TBM_GETRANGEMAX, 0, 0), 255);
}

TEST_F(ControlsTest, TrackBarKeyPressesFireAtEveryStep) {
  gui::TrackBar bar;
  ASSERT_TRUE(bar.Create(form, {224, 24, 86, 20}));
  bar.SetPosition(100);
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.Position()); };

  ASSERT_TRUE(fixture::BringToFront(form.Handle()));
  ::SetFocus(bar.Handle());
  fixture::PressKey(VK_RIGHT);
  fixture::PressKey(VK_RIGHT);
  ASSERT_TRUE(fixture::PollUntil([&] { return seen.size() == 2; })) << "events seen: " << seen.size();
  EXPECT_EQ(seen, (std::vector<int>{101, 102}));
}

TEST_F(ControlsTest, FlatButtonClicksWithoutTakingTheFocus) {
  gui::Edit edit;
  ASSERT_TRUE(edit.Create(form, {48, 24, 32, 20}));
  gui::FlatButton button;
  ASSERT_TRUE(button.Create(form, {230, 2, 60, 20}, L"&Menu"));
  int clicks = 0;
  std::vector<POINT> menus;
  button.OnClick = [&] { ++clicks; };
  button.OnContextMenu = [&](POINT at) { menus.push_back(at); };

  ASSERT_TRUE(fixture::BringToFront(form.Handle()));
  ::SetFocus(edit.Handle());
  ASSERT_EQ(::GetFocus(), edit.Handle());

  const POINT centre = fixture::CenterOf(button.Handle());
  fixture::ClickAt(centre);
  ASSERT_TRUE(fixture::PollUntil([&] { return clicks == 1; }));
  EXPECT_EQ(::GetFocus(), edit.Handle());

  fixture::ClickAt(centre, true);
  ASSERT_TRUE(fixture::PollUntil([&] { return menus.size() == 1; }));
  EXPECT_EQ(menus[0].x, centre.x);
  EXPECT_EQ(menus[0].y, centre.y);
  EXPECT_EQ(clicks, 1);

  // Even a program's SetFocus does not leave the focus on it.
  ::SetFocus(button.Handle());
  fixture::PumpMessages();
  EXPECT_NE(::GetFocus(), button.Handle());
  EXPECT_EQ(::GetWindowLongPtrW(button.Handle(), GWL_STYLE) & WS_TABSTOP, 0);
}

TEST_F(ControlsTest, ContextMenuFromTheKeyboardOpensBelowTheControl) {
  gui::Button button;
  ASSERT_TRUE(button.Create(form, {180, 24, 44, 20}, L"&Set"));
  std::vector<POINT> menus;
  button.OnContextMenu = [&](POINT at) { menus.push_back(at); };
  RECT bounds;
  ::GetWindowRect(button.Handle(), &bounds);

  struct Case {
    const char* name;
    LPARAM lParam;
    POINT expected;
  };
  const Case cases[] = {
      {"keyboard, sign-extended", static_cast<LPARAM>(-1), {bounds.left, bounds.bottom}},
      {"keyboard, 32-bit", static_cast<LPARAM>(MAKELPARAM(-1, -1)), {bounds.left, bounds.bottom}},
      {"mouse", MAKELPARAM(300, 200), {300, 200}},
      {"mouse left of the primary screen", MAKELPARAM(-20, 200), {-20, 200}},
  };
  for (const Case& c : cases) {
    menus.clear();
    ::SendMessageW(button.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button.Handle()), c.lParam);
    ASSERT_EQ(menus.size(), 1u) << c.name;
    EXPECT_EQ(menus[0].x, c.expected.x) << c.name;
    EXPECT_EQ(menus[0].y, c.expected.y) << c.name;
  }
}

TEST_F(ControlsTest, ButtonAndImageButtonRaiseClicks) {
  gui::Button button;
  ASSERT_TRUE(button.Create(form, {180, 24, 44, 20}, L"&Set"));
  gui::Panel panel;
  ASSERT_TRUE(panel.Create(form, {8, 8, 32, 32}, RGB(255, 255, 255)));
  gui::ImageButton picture;
  ASSERT_TRUE(picture.Create(form, {230, 60, 16, 16}));
  int buttonClicks = 0;
  int pictureClicks = 0;
  button.OnClick = [&] { ++buttonClicks; };
  picture.OnClick = [&] { ++pictureClicks; };

  fixture::ClickAt(fixture::CenterOf(button.Handle()));
  fixture::ClickAt(fixture::CenterOf(picture.Handle()));
  ASSERT_TRUE(fixture::PollUntil([&] { return buttonClicks == 1 && pictureClicks == 1; }))
      << buttonClicks << " " << pictureClicks;
  EXPECT_NE(::GetFocus(), picture.Handle());
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ControlsTest, ControlsUseTheirDesignFonts) {
  gui::Edit edit;
  gui::Memo memo;
  gui::CheckBox box;
  gui::Label label;
  ASSERT_TRUE(edit.Create(form, {48, 24, 32, 20}));
  ASSERT_TRUE(memo.Create(form, {8, 52, 296, 153}));
  ASSERT_TRUE(box.Create(form, {48, 8, 60, 14}, L"&On top"));
  label.SetFont({L"Verdana", 14, true});
  ASSERT_TRUE(label.Create(form, {20, 28, 280, 17}, L"Title"));

  struct Case {
    HWND window;
    const wchar_t* face;
    LONG height;
    LONG weight;
  };
  const Case cases[] = {
      {edit.Handle(), L"Tahoma", -10, FW_NORMAL},
      {memo.Handle(), L"Consolas", -11, FW_NORMAL},
      {box.Handle(), L"Tahoma", -11, FW_NORMAL},  // the form's font
      {label.Handle(), L"Verdana", -14, FW_BOLD},
  };
  for (const Case& c : cases) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(c.window, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << c.face;
    LOGFONTW info{};
    ASSERT_NE(::GetObjectW(font, sizeof(info), &info), 0);
    EXPECT_STREQ(info.lfFaceName, c.face);
    EXPECT_EQ(info.lfHeight, -core::ScaleToDpi(-c.height, form.Dpi())) << c.face;
    EXPECT_EQ(info.lfWeight, c.weight) << c.face;
  }
}

TEST_F(ControlsTest, MemoLinesRoundTrip) {
  gui::Memo memo;
  ASSERT_TRUE(memo.Create(form, {8, 52, 296, 153}));
  const std::vector<std::wstring> lines{L"HWND =0x0A04D2(656594)", L"", L"Class=Edit \u00e9"};
  memo.SetLines(lines);
  EXPECT_EQ(memo.Text(), L"HWND =0x0A04D2(656594)\r\n\r\nClass=Edit \u00e9");
  EXPECT_EQ(memo.Lines(), lines);
  const LONG_PTR style = ::GetWindowLongPtrW(memo.Handle(), GWL_STYLE);
  EXPECT_NE(style & ES_MULTILINE, 0);
  EXPECT_EQ(style & (WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL), 0) << "the memo wraps and shows no scroll bars";
}

TEST_F(ControlsTest, TransparentControlsShowTheirPanelsColour) {
  gui::Panel panel;
  ASSERT_TRUE(panel.Create(form, {8, 8, 64, 64}, RGB(255, 255, 255)));
  gui::Image image;
  ASSERT_TRUE(image.Create(panel, {8, 8, 32, 32}));
  gui::Label label;
  ASSERT_TRUE(label.Create(panel, {0, 48, 64, 14}, L""));
  ::SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  const COLORREF colours[] = {RGB(0x33, 0x66, 0xCC), RGB(0, 128, 0), RGB(255, 255, 255)};
  for (const COLORREF colour : colours) {
    panel.SetColor(colour);
    EXPECT_TRUE(fixture::PollUntil([&] {
      return fixture::ScreenPixel(fixture::CenterOf(image.Handle())) == colour &&
             fixture::ScreenPixel(fixture::CenterOf(label.Handle())) == colour &&
             fixture::ScreenPixel(fixture::CenterOf(panel.Handle())) == colour;
    })) << std::hex << colour << " image shows " << fixture::ScreenPixel(fixture::CenterOf(image.Handle()));
  }
}

// A centred label or a stretched image draws everything relative to its size: a change of size or font must
// repaint all of it, not only a newly uncovered strip (or nothing, when it shrinks).
TEST_F(ControlsTest, PaintedControlsRepaintWholeWhenResizedOrGivenAFont) {
  gui::Label label;
  ASSERT_TRUE(label.Create(form, {20, 28, 200, 17}, L"Skimlet"));
  label.SetAlignment(gui::Alignment::Center);
  struct Step {
    const char* name;
    std::function<void()> change;
  };
  const Step steps[] = {
      {"wider", [&] { label.SetBounds({20, 28, 260, 17}); }},
      {"narrower", [&] { label.SetBounds({20, 28, 120, 17}); }},
      {"taller", [&] { label.SetBounds({20, 28, 120, 30}); }},
      {"new font", [&] { label.SetFont({L"Verdana", 14, true}); }},
  };
  for (const Step& step : steps) {
    fixture::PumpMessages();
    ::ValidateRect(label.Handle(), nullptr);
    step.change();
    RECT client;
    ::GetClientRect(label.Handle(), &client);
    RECT dirty{};
    ::GetUpdateRect(label.Handle(), &dirty, FALSE);
    EXPECT_TRUE(::EqualRect(&dirty, &client) != FALSE)
        << step.name << ": repaints " << dirty.left << "," << dirty.top << "-" << dirty.right << "," << dirty.bottom
        << " of " << client.right << "x" << client.bottom;
  }
}

TEST_F(ControlsTest, ImageMouseDownReportsButtonAndPositionAndCapturesTheMouse) {
  gui::Image image;
  ASSERT_TRUE(image.Create(form, {8, 8, 32, 32}));
  std::vector<gui::MouseEvent> downs;
  int clicks = 0;
  image.OnMouseDown = [&](const gui::MouseEvent& event) { downs.push_back(event); };
  image.OnClick = [&] { ++clicks; };

  RECT bounds;
  ::GetWindowRect(image.Handle(), &bounds);
  fixture::MouseDownAt({bounds.left + 5, bounds.top + 7});
  ASSERT_TRUE(fixture::PollUntil([&] { return downs.size() == 1; }));
  EXPECT_EQ(downs[0].button, gui::MouseButton::Left);
  EXPECT_EQ(downs[0].position.x, 5);
  EXPECT_EQ(downs[0].position.y, 7);
  EXPECT_EQ(::GetCapture(), image.Handle());
  fixture::MouseUp();
  ASSERT_TRUE(fixture::PollUntil([&] { return clicks == 1; }));
  EXPECT_EQ(::GetCapture(), nullptr);

  fixture::ClickAt({bounds.left + 3, bounds.top + 4}, true);
  ASSERT_TRUE(fixture::PollUntil([&] { return downs.size() == 2; }));
  EXPECT_EQ(downs[1].button, gui::MouseButton::Right);
  EXPECT_EQ(clicks, 1) << "a right click is no click";
}

}  // namespace
