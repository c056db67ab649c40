// The application object on real windows: idle passes, the exception seam, the shell seam, the cursor list.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Error.h"
#include "core/Unicode.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "support/FixtureForm.h"
#include "support/Poll.h"

namespace {

constexpr UINT kPing = WM_APP + 1;

// A form that counts kPing messages.
class CountingForm : public fixture::FixtureForm {
 public:
  int pings = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kPing) {
      ++pings;
      return 0;
    }
    return FixtureForm::HandleMessage(message, wParam, lParam);
  }
};

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Create());
    form.Show();
    fixture::Settle();
  }
  void TearDown() override {
    app.OnIdle = nullptr;
    app.OnMinimize = nullptr;
    app.PreTranslate = nullptr;
    app.SetExceptionHandler(nullptr);
    app.SetShellOpener(nullptr);
    app.SetCursorIndex(0);
    app.SetMainForm(nullptr);
  }
  gui::Application& app = gui::Application::Instance();
  CountingForm form;
};

TEST_F(ApplicationTest, IdleRunsOncePerEmptiedQueueAndThenWaits) {
  int passes = 0;
  int pingsAtSecondPass = -1;
  bool timerFired = false;
  constexpr UINT_PTR kTimer = 77;
  app.OnIdle = [&] {
    ++passes;
    if (passes == 1) {
      for (int i = 0; i < 3; ++i) ::PostMessageW(form.Handle(), kPing, 0, 0);
    } else if (passes == 2) {
      pingsAtSecondPass = form.pings;
      ::SetTimer(nullptr, kTimer, 300, nullptr);
    }
  };
  // Thread timer messages have no window: the done condition sees them through the queue state.
  const bool finished = app.RunModalLoop([&] {
    MSG pending;
    if (::PeekMessageW(&pending, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE)) timerFired = true;
    return timerFired;
  });
  ::KillTimer(nullptr, kTimer);
  MSG leftover;
  while (::PeekMessageW(&leftover, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {}

  EXPECT_TRUE(finished);
  EXPECT_EQ(pingsAtSecondPass, 3) << "the second idle pass came before the burst was dispatched";
  // While waiting 300 ms for the timer, a busy loop would have made thousands of passes.
  EXPECT_GE(passes, 2);
  EXPECT_LE(passes, 6) << "idle is raised in a busy loop";
}

TEST_F(ApplicationTest, ProcessMessagesDispatchesWithoutIdle) {
  int passes = 0;
  app.OnIdle = [&] { ++passes; };
  for (int i = 0; i < 4; ++i) ::PostMessageW(form.Handle(), kPing, 0, 0);
  app.ProcessMessages();
  EXPECT_EQ(form.pings, 4);
  EXPECT_EQ(passes, 0);
}

TEST_F(ApplicationTest, PreTranslateCanTakeAMessageBeforeDispatch) {
  int seen = 0;
  app.PreTranslate = [&](MSG& message) {
    if (message.message != kPing) return false;
    ++seen;
    return message.wParam == 1;  // take only the marked ones
  };
  ::PostMessageW(form.Handle(), kPing, 1, 0);
  ::PostMessageW(form.Handle(), kPing, 0, 0);
  app.ProcessMessages();
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(form.pings, 1);
}

TEST_F(ApplicationTest, RunEndsOnQuitAndWhenTheMainFormIsDestroyed) {
  ::PostQuitMessage(7);
  EXPECT_EQ(app.Run(), 7);

  fixture::FixtureForm main;
  app.SetMainForm(&main);
  ASSERT_TRUE(main.Create());
  main.Show();
  EXPECT_NE(::GetWindowLongPtrW(main.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  EXPECT_EQ(::GetWindow(main.Handle(), GW_OWNER), nullptr) << "the main form carries the taskbar button";
  EXPECT_NE(::GetWindow(form.Handle(), GW_OWNER), nullptr) << "other forms are owned by the hidden window";
  app.OnIdle = [&] { main.Close(); };
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(main.Handle(), nullptr);
}

// Which exception an event handler throws, and what the handler should then receive.
struct ThrowCase {
  const char* name;
  void (*raise)();
  std::optional<std::wstring> report;  // empty: nothing reported
};

const ThrowCase kThrowCases[] = {
    {"base::Win32Error", [] { throw base::Win32Error(L"Cannot write C:\\x\\grab.ini \u00e9", ERROR_ACCESS_DENIED); },
     base::Win32Error(L"Cannot write C:\\x\\grab.ini \u00e9", ERROR_ACCESS_DENIED).Message()},
    {"std::runtime_error in UTF-8", [] { throw std::runtime_error("caf\xC3\xA9 failed"); }, L"caf\u00e9 failed"},
    {"not an std::exception", [] { throw 42; }, L"Unknown exception"},
};

TEST_F(ApplicationTest, ExceptionsFromEventHandlersReachTheHandlerAndTheWindowGoesOn) {
  gui::Button button;
  ASSERT_TRUE(button.Create(form, {180, 24, 44, 20}, L"&Set"));
  std::vector<std::wstring> reports;
  app.SetExceptionHandler([&](const std::wstring& message) { reports.push_back(message); });

  for (const ThrowCase& c : kThrowCases) {
    SCOPED_TRACE(c.name);
    reports.clear();
    bool shouldThrow = true;
    int clicks = 0;
    button.OnClick = [&] {
      ++clicks;
      if (shouldThrow) c.raise();
    };
    ::SetCapture(form.Handle());
    ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);  // the click goes through both window procedures
    EXPECT_EQ(::GetCapture(), nullptr) << "mouse capture was not released";
    if (c.report) {
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_EQ(reports[0], *c.report);
    } else {
      EXPECT_TRUE(reports.empty());
    }
    shouldThrow = false;
    ::SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2) << "the window did not handle the next message";
    ::PostMessageW(form.Handle(), kPing, 0, 0);
    const int before = form.pings;
    app.ProcessMessages();
    EXPECT_EQ(form.pings, before + 1);
  }
}

TEST_F(ApplicationTest, ExceptionsFromIdleAndCreationAreReportedToo) {
  std::vector<std::wstring> reports;
  app.SetExceptionHandler([&](const std::wstring& message) { reports.push_back(message); });
  int passes = 0;
  app.OnIdle = [&] {
    if (++passes == 1) throw std::runtime_error("idle failed");
  };
  app.RunModalLoop([&] { return passes >= 2; });
  EXPECT_EQ(reports, std::vector<std::wstring>{L"idle failed"});

  reports.clear();
  fixture::FixtureForm broken;
  gui::CheckBox first;
  gui::CheckBox second;
  broken.OnCreate = [&] {
    first.Create(broken, {8, 8, 60, 14}, L"first");
    throw std::runtime_error("creation failed");
  };
  EXPECT_TRUE(broken.Create()) << "the form keeps what was built";
  EXPECT_NE(first.Handle(), nullptr);
  EXPECT_EQ(second.Handle(), nullptr);
  EXPECT_EQ(reports, std::vector<std::wstring>{L"creation failed"});
}

TEST_F(ApplicationTest, ShellOpenGoesThroughTheReplaceableOpener) {
  std::vector<std::wstring> opened;
  app.SetShellOpener([&](const std::wstring& target) {
    opened.push_back(target);
    return target != L"fail";
  });
  EXPECT_TRUE(app.ShellOpen(L"mailto:someone@example.com?subject=a b"));
  EXPECT_FALSE(app.ShellOpen(L"fail"));
  EXPECT_EQ(opened, (std::vector<std::wstring>{L"mailto:someone@example.com?subject=a b", L"fail"}));
}

TEST_F(ApplicationTest, ApplicationCursorIsSetAtOnceAndAnsweredByEveryWindow) {
  const HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  gui::CheckBox box;
  ASSERT_TRUE(box.Create(form, {48, 8, 60, 14}, L"box"));
  app.RegisterCursor(1024, cross);

  app.SetCursorIndex(1024);
  EXPECT_EQ(app.CursorIndex(), 1024);
  EXPECT_EQ(::GetCursor(), cross) << "not set at once";
  for (HWND window : {form.Handle(), box.Handle()}) {
    ::SetCursor(arrow);
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_EQ(::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), hit), TRUE);
    EXPECT_EQ(::GetCursor(), cross);
  }

  app.SetCursorIndex(0);
  EXPECT_EQ(app.ApplicationCursor(), nullptr);
  EXPECT_EQ(::GetCursor(), arrow);
  app.SetCursorIndex(5);  // never registered: the default
  EXPECT_EQ(app.ApplicationCursor(), nullptr);
}

TEST(ErrorText, ConvertsBetweenUtf8AndUtf16) {
  const std::wstring wide = L"R\u00e9gion \u2122 \U0001F600";
  EXPECT_EQ(core::Utf8ToWide(core::WideToUtf8(wide)), wide);
  EXPECT_EQ(core::Utf8ToWide(""), L"");
  EXPECT_EQ(std::string(base::Win32Error(L"caf\u00e9", ERROR_ACCESS_DENIED).what()).rfind("caf\xC3\xA9: ", 0), 0u);
}

}  // namespace
