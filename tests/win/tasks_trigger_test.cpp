// The task trigger: windows of another process (nag_fixture) acted on as they appear, with no idle pass of ours;
// the action log, the pause and the test run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/ovMainForm.h"
#include "core/ConsoleFormat.h"
#include "core/TextLines.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "support/ListsFixture.h"
#include "support/Poll.h"
#include "support/Process.h"
#include "support/InspectFixtures.h"
#include "support/MainWindow.h"

namespace {

using Lines = std::vector<std::wstring>;

const std::wstring kTopTask = L"\"Name=Nag Top\",Class=SkimletNag";
const std::wstring kButtonTask = L"Name=OK,Class=Button,\"pName=Nag Dialog\",pClass=SkimletNagDialog,pLevels=1";

Lines SplitText(const std::string& bytes) { return core::SplitLines(std::wstring(bytes.begin(), bytes.end())); }

// nag_fixture running with the given wait and specs; its result lines split at tabs.
class Nags {
 public:
  Nags(int waitMs, const std::wstring& specs) {
    EXPECT_TRUE(process_.Place(fixture::ProgramFolder() + L"nag_fixture.exe") &&
                process_.Launch(L"\"" + ResultFile() + L"\" " + std::to_wstring(waitMs) + L" " + specs));
  }
  std::wstring ResultFile() const { return process_.ExePath() + L".txt"; }
  Lines Rows() const { return SplitText(fixture::ReadFileBytes(ResultFile())); }
  bool Done() const { return !Rows().empty() && Rows().back() == L"done"; }
  // Field k of result line i: 0 title, 1 window, 2 button or window, 3 "gone <ms>" or "stayed".
  std::wstring Field(std::size_t i, std::size_t k) const {
    const auto line = Rows().at(i);
    std::size_t start = 0;
    for (std::size_t n = 0; n < k; ++n) start = line.find(L'\t', start) + 1;
    return line.substr(start, line.find(L'\t', start) - start);
  }

 private:
  fixture::ChildProcess process_;
};

class TaskTrigger : public testing::Test {
 protected:
  // The program started with these task lines.
  void UseTasks(const Lines& lines) {
    lists_.WriteTasks(lines);
    main_ = &lists_.Start();
  }
  Lines LogLines() { return SplitText(fixture::ReadFileBytes(lists_.Folder().File(L"skimlet.actions.txt"))); }
  // A log line without its time stamp, which must be "YYYY-MM-DD HH:MM:SS.mmm".
  std::wstring Untimed(const std::wstring& line) {
    EXPECT_EQ(line.find(L'\t'), 23u) << line;
    return line.substr(24);
  }

  fixture::ListsSession lists_;
  TovFrmMain* main_ = nullptr;
};

TEST_F(TaskTrigger, ActsOnAppearingWindowsOfOtherProcessesAndLogsEachActionOnce) {
  UseTasks({kTopTask, kButtonTask, L"\"Name=Stubborn Nag\",Class=SkimletNag"});
  ASSERT_TRUE(fixture::RegisterTestClass(L"SkimletNag"));
  fixture::OwnedWindow own(::CreateWindowExW(0, L"SkimletNag", L"Nag Top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                             100, nullptr, nullptr, nullptr, nullptr));
  Nags nags(2000, L"\"top:Nag Top\" \"dialog:Nag Dialog\" \"top:Left Alone\" \"top:Stubborn Nag\"");
  // Messages only, no idle pass: the idle runner never runs here.
  ASSERT_TRUE(fixture::PollUntil([&] { return nags.Rows().size() >= 3; }, 20000));
  EXPECT_EQ(nags.Field(0, 3).substr(0, 5), L"gone ");
  EXPECT_EQ(nags.Field(1, 3).substr(0, 5), L"gone ") << "the dialog's button was clicked";
  EXPECT_EQ(nags.Field(2, 3), L"stayed");
  EXPECT_TRUE(::IsWindow(own.get())) << "our own windows are never acted on";
  own.reset();
  // The stubborn one refuses to close: both paths go on acting on it, and it is logged once all the same.
  fixture::SkimletSession::RunLoopUntil([&] { return nags.Done(); }, 20000);
  EXPECT_EQ(nags.Field(3, 3), L"stayed");

  const Lines log = LogLines();
  ASSERT_EQ(log.size(), 3u);
  const std::wstring from = L"\tnag_fixture.exe\t";
  EXPECT_EQ(Untimed(log[0]), L"close\tline 1\t" + nags.Field(0, 1) + from + L"SkimletNag\tNag Top");
  EXPECT_EQ(Untimed(log[1]), L"click\tline 2\t" + nags.Field(1, 2) + from + L"Button\tOK");
  EXPECT_EQ(Untimed(log[2]), L"close\tline 3\t" + nags.Field(3, 1) + from + L"SkimletNag\tStubborn Nag");
}

// A dialog given its button, and a window given its title, 300 ms after they show: no event says so here.
TEST_F(TaskTrigger, WindowsThatBecomeMatchableAfterTheyShowAreActedOnWithinASecond) {
  UseTasks({L"Name=Later,Class=Button,\"pName=Nag Late\",pClass=SkimletNagDialog,pLevels=1",
            L"\"Name=Nag Renamed\",Class=SkimletNag"});
  Nags nags(5000, L"\"late:Nag Late\" \"renamed:Nag Renamed\"");
  ASSERT_TRUE(fixture::PollUntil([&] { return nags.Done(); }, 30000));
  for (std::size_t i = 0; i < 2; ++i) {
    const std::wstring outcome = nags.Field(i, 3);
    ASSERT_EQ(outcome.substr(0, 5), L"gone ") << nags.Field(i, 0);
    EXPECT_LT(std::stod(outcome.substr(5)), 1000.0) << nags.Field(i, 0);
  }
}

// The watch looks again on a timer of its own; those ticks are no turns of the idle runner.
TEST_F(TaskTrigger, WatchingAWindowAddsNoTurnsOfTheIdleRunner) {
  UseTasks(Lines(50, L"Name=Nobody,Class=SkimletNag"));
  Nags nags(3000, L"\"top:Left Alone\"");
  ASSERT_TRUE(fixture::PollUntil([] { return ::FindWindowW(L"SkimletNag", L"Left Alone") != nullptr; }, 10000));
  const int32_t before = main_->TaskIndex();
  const ULONGLONG until = ::GetTickCount64() + 1000;
  gui::Application::Instance().RunModalLoop([&] { return ::GetTickCount64() >= until; });
  EXPECT_LE(main_->TaskIndex() - before, 2) << "about one turn in seven idle passes";
}

TEST_F(TaskTrigger, PauseStopsBothPathsAndTestRunNamesWindowsWithoutActing) {
  UseTasks({kTopTask, kButtonTask, L"Name=Nobody,Class=SkimletNag"});
  fixture::Choose(*main_, {L"&Task", L"&Pause tasks"});
  EXPECT_EQ(lists_.Session().tray.Tip(), L"Skimlet (tasks paused)");

  Nags nags(20000, L"\"top:Nag Top+dialog:Nag Dialog\"");
  HWND top = nullptr, dialog = nullptr;
  ASSERT_TRUE(fixture::PollUntil(
      [&] {
        top = ::FindWindowW(L"SkimletNag", L"Nag Top");
        dialog = ::FindWindowW(L"SkimletNagDialog", L"Nag Dialog");
        return top && dialog && ::IsWindowVisible(dialog);
      },
      10000));
  const HWND button =
      ::FindWindowExW(::FindWindowExW(dialog, nullptr, L"SkimletNagPanel", nullptr), nullptr, L"Button", L"OK");
  fixture::SkimletSession::RunLoopUntil([] { return false; }, 1500);  // idle passes and events
  EXPECT_TRUE(::IsWindow(top) && ::IsWindow(dialog)) << "paused: nothing acts";

  fixture::Choose(*main_, {L"&Task", L"&Test tasks"});
  const auto handle = [](HWND w) { return core::FormatHandle(static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(w))); };
  EXPECT_EQ(fixture::MemoLines(*main_), (Lines{L"1: " + kTopTask + L" -> " + handle(top) + L" \"Nag Top\"",
                                             L"2: " + kButtonTask + L" -> " + handle(button) + L" \"OK\"",
                                             L"3: Name=Nobody,Class=SkimletNag -> no window"}));
  fixture::Settle(300);
  EXPECT_TRUE(::IsWindow(top) && ::IsWindow(dialog)) << "the test run acts on nothing";
  EXPECT_TRUE(LogLines().empty());

  fixture::Choose(*main_, {L"&Task", L"&Pause tasks"});
  EXPECT_EQ(lists_.Session().tray.Tip(), L"Skimlet");
  // No new window: only the idle runner can act on these two.
  EXPECT_TRUE(fixture::SkimletSession::RunLoopUntil([&] { return !::IsWindow(top) && !::IsWindow(dialog); }, 20000));
  Nags more(5000, L"\"top:Nag Top\"");
  ASSERT_TRUE(fixture::PollUntil([&] { return more.Done(); }, 20000));
  EXPECT_EQ(more.Field(0, 3).substr(0, 5), L"gone ") << "the trigger acts again";
}

TEST(TaskTriggerLog, ALogThatCannotBeWrittenIsReportedOnceInTheBalloonAndTheTriggerGoesOn) {
  fixture::ListsSession lists;
  lists.WriteTasks({kTopTask});
  // A folder in the log's place: no file can be made there.
  ASSERT_TRUE(::CreateDirectoryW(lists.Folder().File(L"skimlet.actions.txt").c_str(), nullptr));
  lists.Start();
  const fixture::SkimletSession& session = lists.Session();
  const std::size_t balloons = session.tray.Balloons().size();
  Nags nags(5000, L"\"top:Nag Top*3\"");
  ASSERT_TRUE(fixture::PollUntil([&] { return nags.Done(); }, 30000));
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(nags.Field(i, 3).substr(0, 5), L"gone ") << i;
  EXPECT_TRUE(session.opened.empty()) << "no page opens for it";
  ASSERT_EQ(session.tray.Balloons().size(), balloons + 1);
  EXPECT_EQ(session.tray.Balloons().back().substr(0, 13), L"Cannot write ");
}

TEST_F(TaskTrigger, LinesOfALockedLogAreWrittenOnceItIsFreeAndNeverJoinAnUnendedLine) {
  UseTasks({kTopTask});
  const std::wstring path = lists_.Folder().File(L"skimlet.actions.txt");
  ASSERT_TRUE(fixture::WriteFileBytes(path, "by hand"));
  {
    const base::UniqueFile lock(
        ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    Nags locked(5000, L"\"top:Nag Top\"");
    ASSERT_TRUE(fixture::PollUntil([&] { return locked.Done(); }, 20000));
  }
  Nags unlocked(5000, L"\"top:Nag Top\"");
  ASSERT_TRUE(fixture::PollUntil([&] { return unlocked.Done(); }, 20000));
  const Lines log = LogLines();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], L"by hand");
  EXPECT_EQ(Untimed(log[1]).substr(0, 6), L"close\t");
  EXPECT_NE(log[1], log[2]);
}

}  // namespace
