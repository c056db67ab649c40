// Accessible elements of another process (element_fixture): read at a point and as a tree by the engine and by
// skimlet.com, found and pressed by an element task, and a program whose accessible object never answers costs each
// caller at most its bound.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/ovMainForm.h"
#include "core/ElementText.h"
#include "core/TaskLine.h"
#include "engine/ovElements.h"
#include "support/ConsoleRun.h"
#include "support/Drags.h"
#include "support/InspectFixtures.h"
#include "support/ListsFixture.h"
#include "support/MainWindow.h"
#include "support/MenuReader.h"
#include "support/Poll.h"
#include "support/Process.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kGenerous{5000};

constexpr const wchar_t* kNames[] = {L"Later", L"Update now", L"Close"};
constexpr const wchar_t* kStates[] = {L"focusable", L"default, focusable", L"unavailable"};

std::wstring Hex(HWND window) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
  return text;
}

// element_fixture running with the given arguments; its window once shown.
class Fixture {
 public:
  explicit Fixture(const std::wstring& args = {}, bool waitShown = true) {
    EXPECT_TRUE(process_.Place(fixture::ProgramFolder() + L"element_fixture.exe") &&
                process_.Launch(L"\"" + ResultFile() + L"\" " + args));
    if (waitShown) Shown(10000);
  }
  HWND Shown(int timeoutMs) {
    fixture::PollUntil([&] { return ::IsWindowVisible(window_ = process_.FindWindowOfClass(L"SkimletElements")); },
                       timeoutMs);
    return window_;
  }
  HWND Window() const { return window_; }
  std::wstring ResultFile() const { return process_.ExePath() + L".txt"; }
  std::string Presses() const { return fixture::ReadFileBytes(ResultFile()); }
  // The centre of button k (from 0) in screen pixels.
  POINT Centre(int k) const {
    POINT p{70 + 130 * k, 50};
    ::ClientToScreen(window_, &p);
    return p;
  }

 private:
  fixture::ChildProcess process_;
  HWND window_ = nullptr;
};

std::wstring At(POINT p) { return L"element --at " + std::to_wstring(p.x) + L"," + std::to_wstring(p.y); }

TEST(Elements, EngineAndConsoleReadEachButtonAndTheTree) {
  Fixture fixture;
  ASSERT_TRUE(fixture.Window());
  for (int k = 0; k < 3; ++k) {
    // A bound that a loaded machine keeps: this reads what is there; the bound itself is tested below.
    const TovElementRead read = ReadElementAt(fixture.Centre(k), kGenerous);
    ASSERT_EQ(read.status, TovElementStatus::Found) << k;
    const fixture::Outcome run = fixture::RunSkimlet(At(fixture.Centre(k)));
    ASSERT_EQ(run.code, 0u) << run.err;
    ASSERT_EQ(run.lines.size(), 8u);
    const std::vector<std::wstring> lines = core::ElementLines(read.element);
    EXPECT_EQ(std::vector<std::wstring>(run.lines.begin(), run.lines.begin() + 6), lines);
    EXPECT_EQ(lines[0], std::wstring(L"Element=") + kNames[k]);
    EXPECT_EQ(lines[1], L"Role=push button");
    EXPECT_EQ(lines[2], std::wstring(L"State=") + kStates[k]);
    EXPECT_EQ(lines[5], L"Action=Press");
    RECT button{20 + 130 * k, 30, 120 + 130 * k, 70};
    ::MapWindowPoints(fixture.Window(), nullptr, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(lines[4], L"Bounds=" + std::to_wstring(button.left) + L"," + std::to_wstring(button.top) + L"," +
                            std::to_wstring(button.right) + L"," + std::to_wstring(button.bottom));
    EXPECT_EQ(run.lines[6], L"Window=" + Hex(fixture.Window()));
    const auto task = core::TaskItems::FromLine(run.lines[7].substr(5));
    EXPECT_EQ(task.Value(L"Class"), L"SkimletElements");
    EXPECT_EQ(task.Value(L"eName"), kNames[k]);
    EXPECT_EQ(task.Value(L"eRole"), L"push button");
  }

  const fixture::Outcome tree = fixture::RunSkimlet(L"element --class SkimletElements");
  ASSERT_EQ(tree.code, 0u) << tree.err;
  ASSERT_EQ(tree.lines.size(), 4u);
  EXPECT_EQ(tree.lines[0].substr(0, 24), L"client \"Element fixture\"");
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(tree.lines[k + 1].substr(0, 16 + wcslen(kNames[k])), L"  push button \"" + std::wstring(kNames[k]) + L"\"");
  }
  EXPECT_EQ(fixture::RunSkimlet(L"element --class NoSuchClass").code, 1u);
  EXPECT_EQ(fixture.Presses(), "") << "reading presses nothing";
}

TEST(Elements, TaskElementIsFoundWithoutActingAndPressedWhenAsked) {
  Fixture fixture;
  const auto task = core::TaskDescription::Parse(L"Class=SkimletElements,\"eName=UPDATE NOW\",\"eRole=Push Button\"");
  const TovElementLimits limits{.budget = kGenerous};
  const TovElementHit look = FindTaskElement(fixture.Window(), task, false, limits);
  ASSERT_EQ(look.status, TovElementStatus::Found);
  EXPECT_EQ(look.element.name, L"Update now");
  EXPECT_FALSE(look.acted);
  EXPECT_EQ(fixture.Presses(), "");
  EXPECT_TRUE(FindTaskElement(fixture.Window(), task, true, limits).acted);
  EXPECT_TRUE(fixture::PollUntil([&] { return fixture.Presses() == "press Update now\r\n"; }));
  EXPECT_EQ(FindTaskElement(fixture.Window(), core::TaskDescription::Parse(L"eName=Later,eRole=link"), true, limits).status,
            TovElementStatus::None);
}

// Ctrl held while dragging the picker: the element under the pointer, its lines after the window's at the end.
TEST(Elements, CtrlPickShowsEachButtonAfterItsWindowAndAddsAnElementTask) {
  fixture::ListsSession lists;
  TovFrmMain& main = lists.Start();
  Fixture fixture;
  ASSERT_TRUE(fixture.Window());
  for (int k = 0; k < 3; ++k) {
    ASSERT_NO_FATAL_FAILURE(fixture::PressPicker(main));
    ASSERT_NO_FATAL_FAILURE(fixture::MovePickerTo(main, fixture.Centre(k), fixture.Window()));
    // Pressed after the move: Wine takes the modifier state of its own pointer events over what SendInput said.
    fixture::Key(VK_CONTROL, true);
    EXPECT_TRUE(fixture::SkimletSession::RunLoopUntil(
        [&] { return main.Picker().ElementProbe.Latest().element.name == kNames[k]; }, 8000))
        << "the drag goes on while the element is read";
    ASSERT_NO_FATAL_FAILURE(fixture::ReleasePicker(main));
    fixture::Key(VK_CONTROL, false);
    ASSERT_TRUE(fixture::SkimletSession::RunLoopUntil([&] { return fixture::MemoLines(main).size() > 6; }));
    const std::vector<std::wstring> lines = fixture::MemoLines(main);
    const std::vector<std::wstring> tail(lines.end() - 6, lines.end());
    EXPECT_EQ(tail, core::ElementLines(main.Picker().ElementProbe.Latest().element));
    EXPECT_EQ(tail[0], std::wstring(L"Element=") + kNames[k]);
    EXPECT_NE(lines.front().find(L"0x"), std::wstring::npos) << "the window's lines first";
  }
  fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
  ASSERT_EQ(main.TaskList().size(), 1u);
  const auto task = core::TaskItems::FromLine(main.TaskList()[0]);
  EXPECT_EQ(task.Value(L"Class"), L"SkimletElements");
  EXPECT_EQ(task.Value(L"eName"), L"Close");

  // Without Ctrl the pick is of the window alone.
  ASSERT_NO_FATAL_FAILURE(fixture::DragPickerTo(main, fixture.Window()));
  fixture::SkimletSession::RunLoopUntil([] { return false; }, 300);
  for (const std::wstring& line : fixture::MemoLines(main)) EXPECT_NE(line.substr(0, 8), L"Element=");
}

constexpr wchar_t kUpdateTask[] = L"\"Name=Element fixture\",Class=SkimletElements,\"eName=Update now\"";

// The longest time between two passes of the message loop while `running` holds, for `ms`.
std::chrono::milliseconds LongestStall(int ms) {
  auto last = Clock::now();
  Clock::duration longest{};
  fixture::SkimletSession::RunLoopUntil([&] {
    const auto now = Clock::now();
    longest = std::max(longest, now - last);
    last = now;
    return false;
  }, ms);
  return std::chrono::duration_cast<std::chrono::milliseconds>(longest);
}

TEST(Elements, TaskClicksTheElementWhenItsWindowAppearsAndTestTasksNamesIt) {
  fixture::ListsSession lists;
  lists.WriteTasks({kUpdateTask});
  TovFrmMain& main = lists.Start();
  // The window shows before the program can describe its buttons.
  Fixture fixture(L"show:300 ready:400", false);
  ASSERT_TRUE(fixture::SkimletSession::RunLoopUntil([&] { return ::IsWindowVisible(fixture.Shown(0)); }, 10000));
  const auto shown = Clock::now();
  ASSERT_TRUE(fixture::SkimletSession::RunLoopUntil([&] { return !fixture.Presses().empty(); }, 5000));
  EXPECT_LT(Clock::now() - shown, std::chrono::milliseconds(1000));
  EXPECT_EQ(fixture.Presses().substr(0, 18), "press Update now\r\n");
  const std::string log = fixture::ReadFileBytes(lists.Folder().File(L"skimlet.actions.txt"));
  EXPECT_NE(log.find("\tclick\tline 1\t"), std::string::npos) << log;
  EXPECT_NE(log.find("\tSkimletElements\tUpdate now\r\n"), std::string::npos) << log;

  fixture::Choose(main, {L"&Task", L"&Pause tasks"});
  fixture::SkimletSession::RunLoopUntil([] { return false; }, 300);
  const std::string presses = fixture.Presses();
  fixture::Choose(main, {L"&Task", L"&Test tasks"});
  ASSERT_EQ(fixture::MemoLines(main).size(), 1u);
  EXPECT_NE(fixture::MemoLines(main)[0].find(Hex(fixture.Window()) + L" \"Update now\""), std::wstring::npos)
      << fixture::MemoLines(main)[0];
  fixture::SkimletSession::RunLoopUntil([] { return false; }, 300);
  EXPECT_EQ(fixture.Presses(), presses) << "testing clicks nothing";
}

// A program whose accessible object never answers: the picker, the trigger and the console each give up within
// their bound, and the interface goes on answering.
TEST(Elements, AProgramThatNeverAnswersCostsEachCallerItsBound) {
  fixture::ListsSession lists;
  TovFrmMain& main = lists.Start();
  {
    Fixture answering;  // the process's first call into another, and its set-up, out of the way
    ASSERT_EQ(ReadElementAt(answering.Centre(0), kGenerous).status, TovElementStatus::Found);
  }
  Fixture hung(L"hang");
  ASSERT_TRUE(hung.Window());
  const POINT point = hung.Centre(0);

  ASSERT_NO_FATAL_FAILURE(fixture::PressPicker(main));
  ASSERT_NO_FATAL_FAILURE(fixture::MovePickerTo(main, point, hung.Window()));
  fixture::Key(VK_CONTROL, true);
  const auto start = Clock::now();
  EXPECT_TRUE(fixture::SkimletSession::RunLoopUntil(
      [&] { return main.Picker().ElementProbe.Latest().status == TovElementStatus::Blocked; }, 5000));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2000));
  EXPECT_LT(LongestStall(300).count(), 250) << "the drag never waits for the element";
  ASSERT_NO_FATAL_FAILURE(fixture::ReleasePicker(main));
  fixture::Key(VK_CONTROL, false);

  auto again = Clock::now();
  EXPECT_EQ(ReadElementAt(point).status, TovElementStatus::Blocked);
  EXPECT_LT(Clock::now() - again, std::chrono::milliseconds(100)) << "the window is left alone for a while";
  const fixture::Outcome run = fixture::RunSkimlet(At(point));
  EXPECT_EQ(run.code, 3u) << "the console gives up too";

  // Another hung window appears, named by a task (the program started again with it): the trigger waits for it at
  // most its bound, once.
  lists.WriteTasks({kUpdateTask});
  lists.Start();
  Fixture second(L"hang show:200", false);
  ASSERT_TRUE(fixture::SkimletSession::RunLoopUntil([&] { return second.Shown(0) != nullptr; }, 10000));
  EXPECT_LT(LongestStall(3000).count(), 1500);

  // The threads given up do not hold up other windows' elements.
  Fixture answering;
  EXPECT_EQ(ReadElementAt(answering.Centre(2), kGenerous).status, TovElementStatus::Found);
}

}  // namespace
