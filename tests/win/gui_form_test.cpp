// Forms on real windows: placing controls by the design layout, alpha, closing, modal showing, visibility hooks.
#include <gtest/gtest.h>
#include <windows.h>

#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/PaintedControls.h"
#include "support/FixtureForm.h"
#include "support/Poll.h"
#include "support/WindowFacts.h"

namespace {

TEST(Form, PlacesControlsWhereTheDesignSaysAndGrowsAnchoredOnes) {
  fixture::FixtureForm form;
  gui::Panel panel;
  gui::Image inner;
  gui::Edit edit;
  gui::Memo memo;
  form.OnCreate = [&] {
    panel.Create(form, {8, 8, 32, 32}, RGB(255, 255, 255));
    inner.Create(panel, {0, 0, 32, 32});
    edit.SetCentered(true);
    edit.Create(form, {48, 24, 32, 20});
    memo.Create(form, {8, 52, 296, 153});
    memo.SetAnchors({true, true, true, true});
  };
  ASSERT_TRUE(form.Create());
  form.Show();
  // Runs at whatever DPI the display has (96 by default; 144 after the registry change for scaled runs).
  const int dpi = form.Dpi();
  const auto s = [dpi](int value) { return core::ScaleToDpi(value, dpi); };

  RECT client;
  ::GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, s(312));
  EXPECT_EQ(client.bottom, s(213));

  struct Case {
    HWND window;
    HWND parent;
    RECT expected;
  };
  const Case cases[] = {
      {panel.Handle(), form.Handle(), {s(8), s(8), s(8) + s(32), s(8) + s(32)}},
      {inner.Handle(), panel.Handle(), {0, 0, s(32), s(32)}},
      {edit.Handle(), form.Handle(), {s(48), s(24), s(48) + s(32), s(24) + s(20)}},
      {memo.Handle(), form.Handle(), {s(8), s(52), s(8) + s(296), s(52) + s(153)}},
  };
  for (const Case& c : cases) {
    const RECT placed = fixture::RectInClient(c.window, c.parent);
    EXPECT_EQ(placed.left, c.expected.left);
    EXPECT_EQ(placed.top, c.expected.top);
    EXPECT_EQ(placed.right, c.expected.right);
    EXPECT_EQ(placed.bottom, c.expected.bottom);
  }
  EXPECT_NE(::GetWindowLongPtrW(edit.Handle(), GWL_STYLE) & ES_CENTER, 0);

  LOGFONTW font{};
  ASSERT_NE(::GetObjectW(form.Font(), sizeof(font), &font), 0);
  EXPECT_EQ(font.lfHeight, -s(11));

  RECT outer;
  ::GetWindowRect(form.Handle(), &outer);
  ::SetWindowPos(form.Handle(), nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 50,
                 SWP_NOMOVE | SWP_NOZORDER);
  const RECT grown = fixture::RectInClient(memo.Handle(), form.Handle());
  EXPECT_EQ(grown.right - grown.left, s(296) + 100);
  EXPECT_EQ(grown.bottom - grown.top, s(153) + 50);
  const RECT fixedEdit = fixture::RectInClient(edit.Handle(), form.Handle());
  EXPECT_EQ(fixedEdit.left, s(48));
  EXPECT_EQ(fixedEdit.right, s(48) + s(32));
}

TEST(Form, BorderStylesAndCentredPosition) {
  gui::FormDesign design = fixture::TestDesign();
  design.border = gui::BorderStyle::None;
  design.position = gui::FormPosition::ScreenCenter;
  design.client = {320, 180};
  fixture::FixtureForm borderless(design);
  ASSERT_TRUE(borderless.Create());
  RECT bounds;
  ::GetWindowRect(borderless.Handle(), &bounds);
  const int width = borderless.Scale(320);
  const int height = borderless.Scale(180);
  EXPECT_EQ(bounds.right - bounds.left, width);
  EXPECT_EQ(bounds.bottom - bounds.top, height);
  EXPECT_EQ(bounds.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(bounds.top, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  EXPECT_EQ(::GetWindowLongPtrW(borderless.Handle(), GWL_STYLE) & WS_CAPTION, 0);

  fixture::FixtureForm framed;
  ASSERT_TRUE(framed.Create());
  const LONG_PTR style = ::GetWindowLongPtrW(framed.Handle(), GWL_STYLE);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_NE(style & WS_THICKFRAME, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
  EXPECT_NE(::GetWindowLongPtrW(framed.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST(Form, MaximisedFormWithItsOwnCursor) {
  gui::FormDesign design = fixture::TestDesign();
  design.border = gui::BorderStyle::None;
  design.maximized = true;
  design.cursor = ::LoadCursorW(nullptr, IDC_CROSS);
  fixture::FixtureForm overlay(design);
  ASSERT_TRUE(overlay.Create());
  overlay.Show();
  EXPECT_TRUE(::IsZoomed(overlay.Handle()));
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(::SendMessageW(overlay.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(overlay.Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), design.cursor);
}

TEST(Form, WholeFormAlphaReadsBack) {
  gui::FormDesign design = fixture::TestDesign();
  design.alpha = 200;
  fixture::FixtureForm form(design);
  ASSERT_TRUE(form.Create());
  form.Show();

  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(form.Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

  form.SetAlpha(128);
  ASSERT_TRUE(::GetLayeredWindowAttributes(form.Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);

  form.SetAlpha(std::nullopt);
  EXPECT_EQ(::GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST(Form, CloseAsksTheCloseQuery) {
  gui::Application& app = gui::Application::Instance();
  fixture::FixtureForm form;
  bool mayClose = false;
  form.closeQuery = [&] { return mayClose; };
  ASSERT_TRUE(form.Create());
  form.Show();

  ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form.closeQueries, 1);
  EXPECT_TRUE(form.Visible()) << "stays open when the query says no";
  EXPECT_EQ(::SendMessageW(form.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
  EXPECT_EQ(form.closeQueries, 2);

  mayClose = true;
  ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Visible()) << "a form other than the main one hides";
  EXPECT_NE(form.Handle(), nullptr);

  fixture::FixtureForm main;
  app.SetMainForm(&main);
  ASSERT_TRUE(main.Create());
  main.Show();
  ::SendMessageW(main.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(main.Handle(), nullptr) << "the main form is destroyed";
  app.SetMainForm(nullptr);
}

TEST(Form, ShowAndHideHooksFireOncePerChange) {
  fixture::FixtureForm form;
  ASSERT_TRUE(form.Create());
  EXPECT_EQ(form.shows, 0);
  form.Show();
  form.Show();
  EXPECT_EQ(form.shows, 1);
  form.Hide();
  form.Hide();
  EXPECT_EQ(form.hides, 1);
  ::ShowWindow(form.Handle(), SW_SHOWNA);
  EXPECT_EQ(form.shows, 2);
  ::SetWindowPos(form.Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(form.hides, 2);
}

TEST(Form, MinimisingTheMainFormRaisesTheMinimiseEvent) {
  gui::Application& app = gui::Application::Instance();
  fixture::FixtureForm main;
  app.SetMainForm(&main);
  int minimised = 0;
  app.OnMinimize = [&] {
    ++minimised;
    main.Hide();
  };
  ASSERT_TRUE(main.Create());
  main.Show();
  ::SendMessageW(main.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(fixture::PollUntil([&] { return minimised == 1; }));
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(main.hides, 1);
  app.OnMinimize = nullptr;
  app.SetMainForm(nullptr);
}

TEST(Form, ShowModalDisablesTheOthersAndRunsIdleUntilClosed) {
  gui::Application& app = gui::Application::Instance();
  fixture::FixtureForm other;
  ASSERT_TRUE(other.Create());
  other.Show();
  gui::FormDesign design = fixture::TestDesign();
  design.origin = {600, 150};
  fixture::FixtureForm dialog(design);
  ASSERT_TRUE(dialog.Create());

  int passes = 0;
  bool otherDisabled = false;
  bool dialogVisible = false;
  app.OnIdle = [&] {
    if (++passes == 1) {
      otherDisabled = !::IsWindowEnabled(other.Handle());
      dialogVisible = dialog.Visible() && dialog.IsModal();
      ::PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    }
  };
  dialog.ShowModal();
  app.OnIdle = nullptr;

  EXPECT_GE(passes, 1) << "idle must run inside the modal loop";
  EXPECT_TRUE(otherDisabled);
  EXPECT_TRUE(dialogVisible);
  EXPECT_EQ(dialog.closeQueries, 1);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_FALSE(dialog.IsModal());
  EXPECT_TRUE(::IsWindowEnabled(other.Handle()));
  EXPECT_EQ(dialog.shows, 1);
  EXPECT_EQ(dialog.hides, 1);
}

TEST(Form, TypedCharactersAndClicksReachTheFormsHooks) {
  fixture::FixtureForm form;
  std::wstring typed;
  int clicks = 0;
  form.OnKeyPress = [&](wchar_t c) { typed.push_back(c); };
  form.OnClick = [&] { ++clicks; };
  ASSERT_TRUE(form.Create());
  form.Show();
  ASSERT_TRUE(fixture::BringToFront(form.Handle()));
  ::SetFocus(form.Handle());

  fixture::PressKey('Q');
  ASSERT_TRUE(fixture::PollUntil([&] { return !typed.empty(); }));
  EXPECT_EQ(typed, L"q");

  RECT bounds;
  ::GetClientRect(form.Handle(), &bounds);
  POINT centre{bounds.right / 2, bounds.bottom / 2};
  ::ClientToScreen(form.Handle(), &centre);
  fixture::ClickAt(centre);
  EXPECT_TRUE(fixture::PollUntil([&] { return clicks == 1; }));
}

TEST(Form, TabOrderFollowsCreationOrder) {
  fixture::FixtureForm form;
  gui::CheckBox first;
  gui::Edit second;
  gui::FlatButton skipped;
  gui::Button third;
  form.OnCreate = [&] {
    first.Create(form, {8, 8, 60, 14}, L"one");
    second.Create(form, {8, 24, 60, 20});
    skipped.Create(form, {80, 8, 40, 20}, L"flat");
    third.Create(form, {8, 50, 60, 20}, L"three");
  };
  ASSERT_TRUE(form.Create());
  form.Show();
  EXPECT_EQ(::GetNextDlgTabItem(form.Handle(), first.Handle(), FALSE), second.Handle());
  EXPECT_EQ(::GetNextDlgTabItem(form.Handle(), second.Handle(), FALSE), third.Handle());
  ASSERT_EQ(form.Controls().size(), 4u);
  EXPECT_EQ(form.Controls()[0], &first);
}

}  // namespace
