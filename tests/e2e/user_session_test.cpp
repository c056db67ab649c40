// The built program run as a user runs it: a copy started from a fresh folder, driven only by real mouse and keyboard
// input, and judged only by what a user can see: window texts, the files beside the exe, the tray icon, the exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "RunningCopy.h"
#include "core/TextLines.h"
#include "support/ImageFiles.h"
#include "support/Poll.h"
#include "support/TestFiles.h"
#include "support/WindowClasses.h"

namespace {

constexpr wchar_t kFixtureClass[] = L"SkimletE2eFixture";
constexpr COLORREF kFixtureColour = RGB(204, 102, 51);
constexpr int kScreenWaitMs = 10000;

// A plain top-level window that the test owns and paints in one colour; its default handling closes it on WM_CLOSE
// (the owner then finds it gone).
fixture::OwnedWindow OpenFixtureWindow(const wchar_t* title, RECT bounds) {
  // The brush lives as long as the class, that is, the process.
  static const bool registered =
      fixture::RegisterTestClass(kFixtureClass, &::DefWindowProcW, ::CreateSolidBrush(kFixtureColour));
  if (!registered) return {};
  fixture::OwnedWindow window(::CreateWindowExW(0, kFixtureClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                bounds.left, bounds.top, bounds.right - bounds.left,
                                                bounds.bottom - bounds.top, nullptr, nullptr,
                                                ::GetModuleHandleW(nullptr), nullptr));
  fixture::Settle(100);
  return window;
}

// The bottom right of the screen, clear of the program's window, which opens two of its widths in from the right.
RECT BottomRightPlace() {
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  return {width - 300, height - 420, width - 40, height - 220};
}

// Whether the memo shows a line that begins with `prefix` (or, when `whole`, is exactly it).
bool MemoHasLine(const e2e::RunningCopy& copy, const std::wstring& prefix, bool whole = false) {
  const auto lines = core::SplitLines(e2e::TextOf(copy.Memo()));
  return std::any_of(lines.begin(), lines.end(), [&](const std::wstring& line) {
    return whole ? line == prefix : line.rfind(prefix, 0) == 0;
  });
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Presses on the picker, drags in small steps onto the target, holds the button there until the memo names the
// window under the pointer (a busy program may lag behind the pointer), and lets go.
bool DragPickerOnto(const e2e::RunningCopy& copy, POINT target, const std::wstring& titleLine) {
  const POINT start = copy.ClientPoint(24, 24);  // the middle of the picker
  fixture::MouseDownAt(start);
  fixture::Settle(100);
  constexpr int kSteps = 20;
  for (int step = 1; step <= kSteps; ++step) {
    fixture::MoveMouseTo(
        {start.x + (target.x - start.x) * step / kSteps, start.y + (target.y - start.y) * step / kSteps});
    fixture::Settle(30);
  }
  int wiggle = 0;
  const bool arrived = fixture::PollUntil(
      [&] {
        if (MemoHasLine(copy, titleLine, true)) return true;
        fixture::MoveMouseTo({target.x + (++wiggle % 2), target.y});
        return false;
      },
      kScreenWaitMs);
  fixture::MoveMouseTo(target);
  fixture::Settle(100);
  fixture::MouseUp();
  return arrived;
}

// Clicks a button of the program until its pop-up menu opens, as a user clicks again when nothing happened. Under
// Wine a synthetic click right after a long run of pointer moves was once seen to be lost.
bool ClickOpensMenu(const e2e::RunningCopy& copy, HWND button, bool rightButton) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    fixture::ClickAt(fixture::CenterOf(button), rightButton);
    if (fixture::PollUntil([&] { return copy.OpenMenu() != nullptr; }, 3000)) {
      fixture::Settle(300);
      return true;
    }
  }
  return false;
}

// Waits for `condition`, moving the pointer a little over the program's memo all the while: the task runner works
// in the program's idle time, and pointer moves keep idle passes coming.
bool WaitWhileWiggling(const e2e::RunningCopy& copy, const std::function<bool()>& condition, int timeoutMs) {
  const POINT centre = fixture::CenterOf(copy.Memo());
  int wiggle = 0;
  return fixture::PollUntil(
      [&] {
        if (condition()) return true;
        fixture::MoveMouseTo({centre.x + (++wiggle % 2) * 3, centre.y});
        return false;
      },
      timeoutMs);
}

// Clicks the snapshot picture until the snapshot shows it has begun: the window hides for the capture, or the
// bitmap or its PNG appears beside the exe. Covers the same lost synthetic click as ClickOpensMenu.
bool ClickStartsSnapshot(const e2e::RunningCopy& copy, POINT picture) {
  const auto begun = [&] {
    return !::IsWindowVisible(copy.Main()) || fixture::FileExists(copy.Companion(L".tmp.bmp")) ||
           fixture::FileExists(copy.Companion(L".tmp.png"));
  };
  for (int attempt = 0; attempt < 3; ++attempt) {
    fixture::ClickAt(picture);
    if (fixture::PollUntil(begun, 3000)) return true;
  }
  return false;
}

bool MenuCloses(const e2e::RunningCopy& copy) {
  return fixture::PollUntil([&] { return copy.OpenMenu() == nullptr; }, kScreenWaitMs);
}

// Menu, then Exit by its letter: the process ends with code 0 and takes its tray icon with it.
void ExitThroughTheMenu(const e2e::RunningCopy& copy) {
  const HWND menuButton = copy.Button(L"&Menu");
  ASSERT_NE(menuButton, nullptr);
  ASSERT_TRUE(ClickOpensMenu(copy, menuButton, false));
  fixture::PressKey('X');
  const auto code = copy.WaitForExit(kScreenWaitMs);
  ASSERT_TRUE(code.has_value()) << "the process ended";
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(copy.HasTrayIcon());
}

TEST(UserSession, PicksAWindowChangesItSavesASetSnapsItAddsATaskThatClosesItAndExits) {
  e2e::RunningCopy copy;
  ASSERT_TRUE(copy.Start()) << "skimlet.exe starts with its window and tray icon";
  const wchar_t kTitle[] = L"E2e Pick Target";
  const fixture::OwnedWindow target = OpenFixtureWindow(kTitle, BottomRightPlace());
  ASSERT_NE(target.get(), nullptr);

  {
    SCOPED_TRACE("picking the window by dragging the picker onto it");
    EXPECT_TRUE(DragPickerOnto(copy, fixture::CenterOf(target.get()), std::wstring(L"Title=") + kTitle))
        << "the memo shows:\n" << Narrow(e2e::TextOf(copy.Memo()));
    ASSERT_TRUE(fixture::PollUntil([&] { return MemoHasLine(copy, L"Color="); }, kScreenWaitMs))
        << "the memo shows:\n" << Narrow(e2e::TextOf(copy.Memo()));
    EXPECT_TRUE(MemoHasLine(copy, std::wstring(L"Title=") + kTitle, true));
    EXPECT_TRUE(MemoHasLine(copy, std::wstring(L"Class=") + kFixtureClass, true));
    // The pixel under the pointer when the drag ended: the fixture's own colour.
    EXPECT_TRUE(MemoHasLine(copy, L"Color=0x3366CC #CC6633 RGB:204,102,51"))
        << "the memo shows:\n" << Narrow(e2e::TextOf(copy.Memo()));
  }
  {
    SCOPED_TRACE("ticking On top");
    const HWND onTop = copy.Button(L"&On top");
    ASSERT_NE(onTop, nullptr);
    ASSERT_TRUE(fixture::PollUntil([&] { return ::IsWindowEnabled(onTop) != FALSE; }, kScreenWaitMs));
    ASSERT_EQ(::GetWindowLongW(target.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    fixture::ClickAt(fixture::CenterOf(onTop));
    EXPECT_TRUE(fixture::PollUntil(
        [&] { return (::GetWindowLongW(target.get(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, kScreenWaitMs));
  }
  {
    SCOPED_TRACE("adding a position set from the Set button's menu");
    const auto edits = copy.EditBoxes();
    ASSERT_EQ(edits.size(), 4u);
    std::string expected;
    for (HWND edit : edits) {
      char field[64] = {};
      std::snprintf(field, sizeof(field), "%5s", Narrow(e2e::TextOf(edit)).c_str());
      expected += field;
    }
    expected += "\r\n";
    const HWND setButton = copy.Button(L"&Set");
    ASSERT_NE(setButton, nullptr);
    ASSERT_TRUE(ClickOpensMenu(copy, setButton, true));
    fixture::PressKey('A');
    ASSERT_TRUE(MenuCloses(copy));
    const std::wstring setFile = copy.Companion(L".log");
    EXPECT_TRUE(fixture::PollUntil([&] { return fixture::ReadFileBytes(setFile) == expected; }, kScreenWaitMs))
        << "the set file holds: [" << fixture::ReadFileBytes(setFile) << "], expected [" << expected << "]";
  }
  {
    SCOPED_TRACE("taking a snapshot of the picked window");
    RECT bounds{};
    ASSERT_TRUE(::GetWindowRect(target.get(), &bounds));
    const std::wstring png = copy.Companion(L".tmp.png");
    // The middle of the window-snapshot picture; clicked again, as a user would, when nothing at all happened.
    ASSERT_TRUE(ClickStartsSnapshot(copy, copy.ClientPoint(238, 14)));
    std::optional<SIZE> size;
    ASSERT_TRUE(
        fixture::PollUntil([&] { return (size = fixture::PngSize(fixture::ReadFileBytes(png))).has_value(); }, 20000))
        << "no PNG beside the exe";
    EXPECT_EQ(size->cx, bounds.right - bounds.left);
    EXPECT_EQ(size->cy, bounds.bottom - bounds.top);
    // The program hides itself for the capture and comes back.
    EXPECT_TRUE(fixture::PollUntil([&] { return ::IsWindowVisible(copy.Main()) != FALSE && copy.HasTrayIcon(); },
                                   kScreenWaitMs));
  }
  {
    SCOPED_TRACE("adding a close-or-click task from the Task submenu");
    const HWND menuButton = copy.Button(L"&Menu");
    ASSERT_NE(menuButton, nullptr);
    ASSERT_TRUE(ClickOpensMenu(copy, menuButton, false));
    fixture::PressKey('T');  // opens the submenu with its first item, "Add a CloseOrClick task", selected
    fixture::Settle(300);
    fixture::PressKey(VK_RETURN);
    ASSERT_TRUE(MenuCloses(copy));
    const std::string expected = "\"Name=E2e Pick Target\",Class=SkimletE2eFixture\r\n";
    const std::wstring taskFile = copy.Companion(L".ini");
    EXPECT_TRUE(fixture::PollUntil([&] { return fixture::ReadFileBytes(taskFile) == expected; }, kScreenWaitMs))
        << "the task file holds: [" << fixture::ReadFileBytes(taskFile) << "]";
    // From now on the runner acts on the new task: it asks the window to close.
    EXPECT_TRUE(WaitWhileWiggling(copy, [&] { return !::IsWindow(target.get()); }, 60000))
        << "the window named by the new task is still there";
  }
  ExitThroughTheMenu(copy);
}

TEST(UserSession, TheTaskRunnerClosesTheWindowThatAStoredTaskNames) {
  const fixture::OwnedWindow victim = OpenFixtureWindow(L"E2e Runner Target", BottomRightPlace());
  ASSERT_NE(victim.get(), nullptr);
  e2e::RunningCopy copy;
  ASSERT_TRUE(copy.Start({{L".ini", "\"Name=E2e Runner Target\",Class=SkimletE2eFixture\r\n"}}));
  EXPECT_TRUE(WaitWhileWiggling(copy, [&] { return !::IsWindow(victim.get()); }, 60000))
      << "the window named by the task is still there";
  ExitThroughTheMenu(copy);
}

}  // namespace
