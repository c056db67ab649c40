// Balloon hints: the tooltip window that shows them for real controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/BalloonHint.h"
#include "support/BalloonHintProbe.h"
#include "support/Poll.h"

namespace {

using gui::BalloonHint;

// A shown top-level window with two buttons, shared by the tests (under Wine without a window manager, hiding a
// shown window takes two seconds).
class HintFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    form = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"hints", WS_POPUP | WS_VISIBLE | WS_BORDER, 200, 200, 300,
                             120, nullptr, nullptr, instance, nullptr);
    // Buttons, so that the pointer over them is not transparent (a static control lets it through).
    first = ::CreateWindowExW(0, L"BUTTON", L"first", WS_CHILD | WS_VISIBLE, 10, 10, 120, 40, form, nullptr,
                              instance, nullptr);
    second = ::CreateWindowExW(0, L"BUTTON", L"second", WS_CHILD | WS_VISIBLE, 150, 10, 120, 40, form, nullptr,
                               instance, nullptr);
    fixture::Settle(50);
  }
  static void TearDownTestSuite() { ::DestroyWindow(form); }
  void SetUp() override { ASSERT_TRUE(form && first && second); }

  static int ToolCount(const BalloonHint& hints) {
    return static_cast<int>(::SendMessageW(hints.Window(), TTM_GETTOOLCOUNT, 0, 0));
  }
  // What the tooltip would show as the text of that control's balloon.
  static std::wstring ToolText(const BalloonHint& hints, HWND control) {
    std::vector<wchar_t> buffer(1024, L'\0');
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = buffer.data();
    ::SendMessageW(hints.Window(), TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&info));
    return buffer.data();
  }
  // The balloon's title. Wine's tooltip does not answer TTM_GETTITLE: there the title we handed over is used.
  static std::wstring Title(const BalloonHint& hints) {
    const std::wstring asked = AskTitle(hints);
    if (!asked.empty()) {
      EXPECT_EQ(asked, gui::BalloonHintProbe::ShownTitle(hints));
    }
    return gui::BalloonHintProbe::ShownTitle(hints);
  }
  static std::wstring AskTitle(const BalloonHint& hints) {
    std::vector<wchar_t> buffer(256, L'\0');
    TTGETTITLE title{};
    title.dwSize = sizeof(title);
    title.cch = static_cast<UINT>(buffer.size());
    title.pszTitle = buffer.data();
    ::SendMessageW(hints.Window(), TTM_GETTITLE, 0, reinterpret_cast<LPARAM>(&title));
    return buffer.data();
  }
  static void MovePointerTo(HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    ::SetCursorPos(x - 3, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = 3;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof(input));
  }
  static void MovePointerAway() { ::SetCursorPos(1900, 1060); }

  static HWND form;
  static HWND first;
  static HWND second;
};
HWND HintFixture::form = nullptr;
HWND HintFixture::first = nullptr;
HWND HintFixture::second = nullptr;

TEST_F(HintFixture, TooltipIsSetUpAsABalloonThatPopsAfter2500ms) {
  BalloonHint hints(form);
  ASSERT_NE(hints.Window(), nullptr);
  const LONG style = ::GetWindowLongW(hints.Window(), GWL_STYLE);
  EXPECT_EQ(style & (TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP), TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP);
  EXPECT_EQ(::SendMessageW(hints.Window(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
  EXPECT_GT(::SendMessageW(hints.Window(), TTM_GETMAXTIPWIDTH, 0, 0), 0) << "needed for \\r\\n to break lines";
}

TEST_F(HintFixture, AddSetHintAndRemoveKeepOneToolPerControl) {
  BalloonHint hints(form);
  EXPECT_EQ(ToolCount(hints), 0);
  EXPECT_TRUE(hints.Add(first, L"Capture Window|Drag here to capture window!\r\n"));
  EXPECT_TRUE(hints.Add(second, L"x: Left"));
  EXPECT_EQ(ToolCount(hints), 2);
  EXPECT_EQ(ToolText(hints, first), L"Drag here to capture window!\r\n");

  EXPECT_TRUE(hints.SetHint(second, L"cx: Width"));
  EXPECT_EQ(ToolCount(hints), 2) << "a changed hint is no new tool";
  EXPECT_EQ(hints.Hint(second), L"cx: Width");

  EXPECT_TRUE(hints.Remove(first));
  EXPECT_FALSE(hints.Remove(first));
  EXPECT_EQ(ToolCount(hints), 1);
  EXPECT_EQ(hints.Hint(first), std::nullopt);

  EXPECT_FALSE(hints.Add(nullptr, L"nothing"));
  EXPECT_EQ(ToolCount(hints), 1);
}

TEST_F(HintFixture, EachControlGetsItsOwnTitleAndText) {
  BalloonHint hints(form);
  hints.Add(first, L"Stay On Top|Set or reset top most\r\n");
  hints.Add(second, L"Show or hide");
  struct Case {
    HWND control;
    std::wstring title;
    std::wstring text;
  };
  const std::vector<Case> cases = {
      {first, L"Stay On Top", L"Set or reset top most\r\n"},
      {second, L"Show or hide", L" "},  // a title alone; the blank keeps the balloon from being empty
      {first, L"Stay On Top", L"Set or reset top most\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToolText(hints, c.control), c.text);
    EXPECT_EQ(Title(hints), c.title);
  }
  hints.SetHint(second, L"");
  EXPECT_EQ(ToolText(hints, second), L"") << "an empty hint shows nothing";
}

TEST_F(HintFixture, HoverShowsTheBalloonAndHideHintTakesItAway) {
  BalloonHint hints(form);
  hints.Add(first, L"Window Snapshot|You'd grab a window @1st.\r\n\r\nTips:\r\n");
  hints.Add(second, L"Move and resize");
  const auto showing = [&] { return ::IsWindowVisible(hints.Window()) != FALSE; };

  MovePointerTo(first);
  ASSERT_TRUE(fixture::PollUntil(showing)) << "the balloon did not appear over the control";
  EXPECT_EQ(Title(hints), L"Window Snapshot");
  RECT balloon;
  ::GetWindowRect(hints.Window(), &balloon);
  EXPECT_GT(balloon.bottom - balloon.top, 4 * 10) << "title and four text lines";

  hints.HideHint();
  EXPECT_FALSE(showing());

  // A hint changed while its balloon shows is shown at once.
  MovePointerAway();
  fixture::Settle(100);
  MovePointerTo(second);
  ASSERT_TRUE(fixture::PollUntil(showing));
  EXPECT_EQ(Title(hints), L"Move and resize");
  hints.SetHint(second, L"Resize|now");
  EXPECT_EQ(Title(hints), L"Resize");
  EXPECT_TRUE(showing());

  // Left alone, it goes away by itself after about 2.5 seconds.
  const DWORD shownAt = ::GetTickCount();
  ASSERT_TRUE(fixture::PollUntil([&] { return !showing(); }, 6000));
  EXPECT_GE(::GetTickCount() - shownAt, 2000u);
  MovePointerAway();
}

TEST(BalloonHint, OwnerDestroyedFirstIsHarmless) {
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND control = ::CreateWindowExW(0, L"BUTTON", L"c", WS_CHILD, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
  auto hints = std::make_unique<BalloonHint>(owner);
  EXPECT_TRUE(hints->Add(control, L"a|b"));
  ::DestroyWindow(owner);
  EXPECT_FALSE(::IsWindow(hints->Window())) << "the owner takes its tooltip with it";
  hints.reset();
}

}  // namespace
