#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "app/ovMainForm.h"
#include "app/ovStartup.h"
#include "base/Handles.h"
#include "support/SkimletSession.h"

namespace {

TEST(SkimletSession, StartsAndStopsTwiceInOneProcess) {
  for (int i = 0; i < 2; ++i) {
    fixture::SkimletSession session;
    EXPECT_TRUE(IsWindowVisible(session.Main().Handle()));
    fixture::SkimletSession::RunIdlePasses(3);
  }
}

// Refuses every window of the main window's class, as a system out of window resources would.
LRESULT CALLBACK RefuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    wchar_t name[64] = {};
    ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
    if (std::wcscmp(name, L"TovFrmMain") == 0) return 1;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(SkimletSession, EndsWithAnErrorWhenTheMainWindowCannotBeCreated) {
  const base::UniqueHandle<HHOOK, ::UnhookWindowsHookEx> hook(
      ::SetWindowsHookExW(WH_CBT, &RefuseMainWindow, nullptr, ::GetCurrentThreadId()));
  ASSERT_TRUE(hook);
  // A waiting quit message ends the message loop with 7, should the program run it without a main window.
  ::PostQuitMessage(7);
  EXPECT_EQ(RunSkimlet(SW_HIDE), 1);
  MSG quit;
  while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace
