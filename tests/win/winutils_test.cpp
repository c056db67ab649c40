#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>

#include "base/Handles.h"
#include "engine/ovWinUtils.h"
#include "gui/Handles.h"
#include "support/InspectFixtures.h"
#include "support/Poll.h"
#include "support/Process.h"
#include "support/WindowFacts.h"

namespace {

using Window = fixture::OwnedWindow;
constexpr wchar_t kClass[] = L"SkimletWinUtilsFixture";

Window TopLevel(const wchar_t* title, DWORD exStyle = 0, DWORD style = WS_OVERLAPPEDWINDOW) {
  EXPECT_TRUE(fixture::RegisterTestClass(kClass));
  return Window(::CreateWindowExW(exStyle, kClass, title, style, 100, 120, 300, 200, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr));
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* title, int id, int x = 5, int y = 5) {
  return fixture::AddChild(parent, cls, title, id, {x, y, x + 120, y + 60});
}

gui::UniqueFont MakeFont(int height, int weight, bool italic, bool underline, bool strikeOut) {
  return fixture::MakeFont(L"Tahoma", height, weight, italic, underline, strikeOut);
}

// The DPI is fixed for these checks so that they hold on any display.
TovWinUtils Read(HWND w, int ppi = 96) {
  TovWinUtils utils;
  utils.SetScreenPpi(ppi);
  utils.SetWnd(w);
  return utils;
}

TEST(TovWinUtils, ReadsTopLevelWindows) {
  struct Case { const wchar_t* title; DWORD exStyle; DWORD style; };
  const Case cases[] = {
      {L"Known title", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE},
      {L"", WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE | WS_DISABLED},
      {L"\u041e\u043a\u043d\u043e \u7a97\u53e3 \u00e9t\u00e9", WS_EX_TOPMOST, WS_OVERLAPPEDWINDOW},
  };
  for (const Case& c : cases) {
    Window w = TopLevel(c.title, c.exStyle, c.style);
    ASSERT_TRUE(w);
    const TovWinUtils u = Read(w.get());
    SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style);
    EXPECT_TRUE(u.IsValid());
    EXPECT_EQ(u.Wnd, w.get());
    EXPECT_EQ(u.WndTitle, c.title);
    EXPECT_EQ(u.WndClass, kClass);
    EXPECT_EQ(u.WndStyle, static_cast<uint32_t>(::GetWindowLongW(w.get(), GWL_STYLE)));
    EXPECT_EQ(u.WndExStyle, static_cast<uint32_t>(::GetWindowLongW(w.get(), GWL_EXSTYLE)));
    EXPECT_EQ(u.Visible, (c.style & WS_VISIBLE) != 0);
    EXPECT_EQ(u.Enabled, (c.style & WS_DISABLED) == 0);
    EXPECT_EQ(u.Topmost, (c.exStyle & WS_EX_TOPMOST) != 0);
    EXPECT_FALSE(u.IsChild);
    EXPECT_EQ(u.Alpha, 255);
    EXPECT_EQ(u.FontText, L"");  // a plain window answers WM_GETFONT with 0
    RECT r{};
    ::GetWindowRect(w.get(), &r);
    EXPECT_EQ(u.WndRect, (core::Rect{r.left, r.top, r.right, r.bottom}));
    EXPECT_EQ(u.WndRect.Width(), 300);
  }
}

TEST(TovWinUtils, ReadsControlsFontsAndIds) {
  Window top = TopLevel(L"Font host", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ASSERT_TRUE(top);
  HWND panel = Child(top.get(), L"STATIC", L"panel", 10, 0, 0);
  HWND button = Child(panel, L"BUTTON", L"&Press", 1001);
  struct Case { int height, weight; bool italic, underline, strikeOut; int ppi; const wchar_t* want; };
  const Case cases[] = {
      {-11, 400, false, false, false, 96, L"Tahoma, 8pt"},
      {-13, 400, false, false, false, 96, L"Tahoma, 9.5pt"},
      {-12, 700, true, false, false, 96, L"Tahoma, 9pt Bold Italic"},
      {-16, 600, false, false, false, 96, L"Tahoma, 12pt Bold"},
      {-16, 401, false, true, true, 96, L"Tahoma, 12pt Bold Underline StrikeOut"},
      {-20, 400, false, false, false, 120, L"Tahoma, 12pt"},
      {-24, 400, false, false, false, 144, L"Tahoma, 12pt"},
  };
  for (const Case& c : cases) {
    gui::UniqueFont font = MakeFont(c.height, c.weight, c.italic, c.underline, c.strikeOut);
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    std::wstring want = c.want;
    std::replace(want.begin(), want.end(), L'.', fixture::UserDecimalSeparator());
    EXPECT_EQ(Read(button, c.ppi).FontText, want);
    ::SendMessageW(button, WM_SETFONT, 0, FALSE);  // before the font is deleted
  }
  const TovWinUtils u = Read(button);
  EXPECT_EQ(u.WndId, 1001);
  EXPECT_EQ(u.WndTitle, L"&Press");
  EXPECT_EQ(u.WndClass, L"Button");
  EXPECT_TRUE(u.IsChild);
  EXPECT_EQ(Read(panel).WndId, 10);
  EXPECT_EQ(Read(panel).FontText, L"");
}

TEST(TovWinUtils, ReadsLayeredAlpha) {
  Window w = TopLevel(L"layered", WS_EX_LAYERED, WS_POPUP | WS_VISIBLE);
  ASSERT_TRUE(w);
  ASSERT_TRUE(::SetLayeredWindowAttributes(w.get(), 0, 77, LWA_ALPHA));
  EXPECT_EQ(Read(w.get()).Alpha, 77);
  // Layered, but its attributes were never set: they cannot be read, so the window counts as opaque.
  Window unset = TopLevel(L"layered, unset", WS_EX_LAYERED, WS_POPUP);
  ASSERT_TRUE(unset);
  BYTE alpha = 0;
  if (!::GetLayeredWindowAttributes(unset.get(), nullptr, &alpha, nullptr)) {
    EXPECT_EQ(Read(unset.get()).Alpha, 255);
  } else {
    EXPECT_EQ(Read(unset.get()).Alpha, alpha);
  }
}

TEST(TovWinUtils, SettersChangeTheRealWindow) {
  Window w = TopLevel(L"setters", WS_EX_TOOLWINDOW, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ASSERT_TRUE(w);
  HWND h = w.get();
  TovWinUtils u = Read(h);
  const uint32_t captured = u.WndExStyle;

  u.SetEnabled(false);
  EXPECT_FALSE(u.Enabled);
  EXPECT_FALSE(::IsWindowEnabled(h));
  u.SetEnabled(true);
  EXPECT_TRUE(::IsWindowEnabled(h));

  u.SetVisible(false);
  EXPECT_FALSE(u.Visible);
  EXPECT_FALSE(::IsWindowVisible(h));
  u.SetVisible(true);
  EXPECT_TRUE(::IsWindowVisible(h));

  RECT before{};
  ::GetWindowRect(h, &before);
  u.SetTopmost(true);
  EXPECT_TRUE(u.Topmost);
  EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT after{};
  ::GetWindowRect(h, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));  // neither moved nor resized
  u.SetTopmost(false);
  EXPECT_FALSE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);

  u.SetAlpha(77);
  EXPECT_EQ(u.Alpha, 77);
  EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 77);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_EQ(Read(h).Alpha, 77);

  u.SetAlpha(0);  // fully transparent, still visible
  EXPECT_TRUE(::IsWindowVisible(h));
  EXPECT_TRUE(u.Visible);

  u.SetAlpha(255);
  EXPECT_FALSE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(u.WndExStyle, captured);  // the snapshot is never refreshed by a setter

  const core::Rect target{40, 60, 40 + 333, 60 + 222};
  u.SetWndRect(target);
  EXPECT_EQ(u.WndRect, target);
  RECT r{};
  ::GetWindowRect(h, &r);
  EXPECT_EQ((core::Rect{r.left, r.top, r.right, r.bottom}), target);
}

TEST(TovWinUtils, DestroyedWindowGivesTheFailureValues) {
  TovWinUtils u;
  Window first = TopLevel(L"first", WS_EX_TOPMOST, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  u.SetWnd(first.get());
  const core::Rect kept = u.WndRect;
  HWND stale = first.get();
  first.reset();
  EXPECT_FALSE(u.IsValid());
  u.SetWnd(stale);
  EXPECT_FALSE(u.IsValid());
  EXPECT_EQ(u.Wnd, stale);
  EXPECT_EQ(u.WndId, 0);
  EXPECT_EQ(u.WndTitle, L"");
  EXPECT_EQ(u.WndClass, L"");
  EXPECT_EQ(u.WndStyle, 0u);
  EXPECT_EQ(u.WndExStyle, 0u);
  EXPECT_FALSE(u.Enabled || u.Visible || u.Topmost || u.IsChild);
  EXPECT_EQ(u.Alpha, 255);
  EXPECT_EQ(u.FontText, L"");
  EXPECT_EQ(u.WndRect, kept);
}

// A window of this file's class on a second thread that answers messages (pump) or hangs once it exists.
fixture::ThreadWindow OnOtherThread(const wchar_t* title, HFONT font, bool pump) {
  EXPECT_TRUE(fixture::RegisterTestClass(kClass));
  return fixture::ThreadWindow(title, {50, 50, 250, 150}, font, pump, kClass, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
}

TEST(TovWinUtils, ReadsWindowsOfOtherThreads) {
  gui::UniqueFont font = MakeFont(-12, 700, false, false, false);
  const fixture::ThreadWindow other = OnOtherThread(L"Answering \u7a97", font.get(), true);
  ASSERT_NE(other.get(), nullptr);
  const TovWinUtils top = Read(other.get());
  EXPECT_EQ(top.WndTitle, L"Answering \u7a97");
  const TovWinUtils edit = Read(other.edit());
  EXPECT_EQ(edit.WndTitle, L"inner");
  EXPECT_EQ(edit.FontText, L"Tahoma, 9pt Bold");
  EXPECT_TRUE(edit.IsChild);
}

// Answers WM_GETTEXTLENGTH with the largest length there is, as a faulty program may; the text itself is normal.
LRESULT CALLBACK ClaimsHugeTitle(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETTEXTLENGTH) return std::numeric_limits<LRESULT>::max();
  return ::DefWindowProcW(w, message, wParam, lParam);
}

TEST(TovWinUtils, BoundsTheTitleLengthATargetClaims) {
  const fixture::ThreadWindow other = OnOtherThread(L"Boastful", nullptr, true);
  ASSERT_NE(other.get(), nullptr);
  ::SetWindowLongPtrW(other.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ClaimsHugeTitle));
  TovWinUtils u;
  EXPECT_NO_THROW(u.SetWnd(other.get()));
  EXPECT_EQ(u.WndTitle, L"Boastful");
}

TEST(TovWinUtils, DoesNotWaitForAHungWindow) {
  gui::UniqueFont font = MakeFont(-12, 400, false, false, false);
  const fixture::ThreadWindow hung = OnOtherThread(L"Not answering", font.get(), false);
  ASSERT_NE(hung.get(), nullptr);
  for (HWND w : {hung.get(), hung.edit()}) {
    const auto start = std::chrono::steady_clock::now();
    const TovWinUtils u = Read(w);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(2));
    EXPECT_EQ(u.FontText, L"");
    EXPECT_EQ(u.WndClass, w == hung.get() ? std::wstring(kClass) : std::wstring(L"Edit"));
    if (w == hung.get()) {
      EXPECT_EQ(u.WndTitle, L"Not answering");  // from the window manager's copy
    }
  }
}

// Windows of another process: this program started again with only the helper below, which creates the window
// and then either answers messages or hangs. The mode and the title travel in the environment.
constexpr wchar_t kModeVariable[] = L"SKIMLET_WINUTILS_CHILD";
constexpr wchar_t kChildTitle[] = L"Other process \u7a97";

TEST(OtherProcess, DISABLED_Window) {
  wchar_t mode[16] = {};
  if (!::GetEnvironmentVariableW(kModeVariable, mode, 16)) GTEST_SKIP() << "only run as a child";
  ASSERT_TRUE(fixture::RegisterTestClass(kClass));
  Window w(::CreateWindowExW(0, kClass, kChildTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 200, 100, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr));
  const auto deadline = ::GetTickCount64() + 30000;  // the parent ends this process long before
  while (::GetTickCount64() < deadline) {
    if (std::wstring(mode) == L"hang") {
      ::Sleep(100);
      continue;
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

class ChildProcess {
 public:
  explicit ChildProcess(const wchar_t* mode) {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_filter=OtherProcess.DISABLED_Window --gtest_also_run_disabled_tests";
    ::SetEnvironmentVariableW(kModeVariable, mode);
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      process_.reset(pi.hProcess);
      ::CloseHandle(pi.hThread);
    }
    ::SetEnvironmentVariableW(kModeVariable, nullptr);
    // The window of this very child: one left over from an earlier child does not count.
    if (process_) {
      fixture::PollUntil([&] { return (window_ = fixture::FindProcessWindow(pi.dwProcessId, kClass)) != nullptr; },
                         15000);
    }
  }
  ~ChildProcess() {
    if (process_) {
      ::TerminateProcess(process_.get(), 0);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }
  HWND window() const { return window_; }

 private:
  base::UniqueHandleObject process_;
  HWND window_ = nullptr;
};

TEST(TovWinUtils, ReadsWindowsOfOtherProcessesWithinTheBound) {
  for (const wchar_t* mode : {L"pump", L"hang"}) {
    ChildProcess child(mode);
    ASSERT_NE(child.window(), nullptr) << "no window from the child process";
    if (std::wstring(mode) == L"hang") ::Sleep(300);  // let it stop answering for good
    const auto start = std::chrono::steady_clock::now();
    const TovWinUtils u = Read(child.window());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << mode;
    EXPECT_EQ(u.WndTitle, kChildTitle) << mode;
    EXPECT_EQ(u.WndClass, kClass) << mode;
    EXPECT_TRUE(u.Visible) << mode;
    EXPECT_EQ(u.FontText, L"") << mode;  // a plain window has no font
  }
}

}  // namespace
