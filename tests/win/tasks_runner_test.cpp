// The close-or-click runner on idle passes, observed on probe windows that log what is posted to them.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/ovMainForm.h"
#include "core/Random.h"
#include "support/Drags.h"
#include "support/ListsFixture.h"
#include "support/Poll.h"

namespace {

using fixture::Posted;
using Log = std::vector<Posted>;

Log Close(HWND w) { return {{w, WM_CLOSE, 0, 0}}; }
Log Key(HWND w, WPARAM key) { return {{w, WM_KEYDOWN, key, 0}, {w, WM_KEYUP, key, 0}}; }
Log Click(HWND w) { return {{w, WM_LBUTTONDOWN, 0, 0}, {w, WM_LBUTTONUP, 0, 0}}; }

class TaskRunner : public testing::Test {
 protected:
  void TearDown() override { fixture::TakeProbeLog(); }

  // The program started (again) with these task lines.
  void UseTasks(const std::vector<std::wstring>& lines) {
    lists_.WriteTasks(lines);
    main_ = &lists_.Start();
    fixture::TakeProbeLog();
  }

  // With `line` as the whole task list, the runner's next action posts `want`, and it moves on past the line.
  void ExpectOneRun(const std::wstring& line, const Log& want) {
    SCOPED_TRACE(testing::Message() << line);
    UseTasks({line});
    EXPECT_EQ(fixture::RunUntilTaskRuns(*main_), want);
    EXPECT_EQ(main_->TaskIndex(), 1);
  }

  fixture::ListsSession lists_;
  TovFrmMain* main_ = nullptr;
};

TEST_F(TaskRunner, TopLevelTaskClosesOrSendsItsKey) {
  // Both refuse every close request, so each case meets the same windows. The untitled one is made first, so it is
  // not the first window of its class in z-order: only an empty title (not "any title") finds it.
  fixture::OwnedWindow untitled = fixture::MakeProbe(L"", 1000);
  fixture::OwnedWindow nag = fixture::MakeProbe(L"Nag", 1000);
  ASSERT_TRUE(nag && untitled);
  struct Case {
    const wchar_t* line;
    Log want;
  };
  const Case cases[] = {
      {L"Name=Nag,Class=SkimletProbe", Close(nag.get())},
      {L"Name=Nag,Class=SkimletProbe,Key=13", Key(nag.get(), 13)},
      {L"Class=SkimletProbe,Name=Nag,key=$0D", Key(nag.get(), 13)},
      {L"Name=Nag,Class=SkimletProbe,Key=abc", Close(nag.get())},  // not a number: no key
      {L"Name=Nag,Class=SkimletProbe,Key=0", Close(nag.get())},
      {L"Name=Nag,Class=SkimletProbe,Key=13x", Close(nag.get())},
      {L"Class=SkimletProbe", Close(untitled.get())},  // no Name asks for an empty title, not any title
      {L"Name=Nag", {}},                                // no Class asks for an empty class name
      {L"Name=Nobody,Class=SkimletProbe", {}},
      {L"Name=Nag,Class=SkimletProbe,pName=,pClass=", Close(nag.get())},  // empty pClass: still top-level
      {L"garbage \"without\" items", {}},
  };
  for (const Case& c : cases) ExpectOneRun(c.line, c.want);
}

TEST_F(TaskRunner, DisabledTopLevelWindowIsStillClosed) {
  fixture::OwnedWindow nag = fixture::MakeProbe(L"Disabled nag");
  ::EnableWindow(nag.get(), FALSE);
  UseTasks({L"\"Name=Disabled nag\",Class=SkimletProbe"});
  EXPECT_EQ(fixture::RunUntilTaskRuns(*main_), Close(nag.get()));
}

TEST_F(TaskRunner, ChildTaskClicksEnabledControlsAndSendsKeysToAny) {
  fixture::OwnedWindow host = fixture::MakeProbe(L"Host");
  ASSERT_TRUE(host);
  HWND go = fixture::MakeProbeChild(L"Go", host.get());
  HWND stop = fixture::MakeProbeChild(L"Stop", host.get(), WS_DISABLED);
  HWND panel = fixture::MakeProbeChild(L"Panel", host.get());
  HWND deep = fixture::MakeProbeChild(L"Deep", panel);
  ASSERT_TRUE(go && stop && panel && deep);
  const std::wstring under = L",pName=Host,pClass=SkimletProbe";
  struct Case {
    std::wstring line;
    Log want;
  };
  const Case cases[] = {
      {L"Name=Go,Class=SkimletProbe" + under, Click(go)},
      {L"Name=Stop,Class=SkimletProbe" + under, {}},  // disabled: not clicked
      {L"Name=Stop,Class=SkimletProbe,Key=65" + under, Key(stop, 65)},
      {L"Name=Go,Class=SkimletProbe,Key=13" + under, Key(go, 13)},
      {L"Name=Deep,Class=SkimletProbe" + under, {}},  // not a direct child
      {L"Name=Deep,Class=SkimletProbe,pLevels=1" + under, Click(deep)},
      {L"Name=Deep,Class=SkimletProbe,pLevels=x" + under, {}},   // not a number: a direct child
      {L"Name=Deep,Class=SkimletProbe,pLevels=-1" + under, {}},  // never counts down to the wanted level
      {L"Name=Go,Class=SkimletProbe,pLevels=2" + under, {}},     // nothing that deep
      {L"Name=Go,Class=SkimletProbe,pName=Elsewhere,pClass=SkimletProbe", {}},
      {L"Name=Go,Class=SkimletProbe,pClass=SkimletProbe", {}},  // no pName: an untitled top-level window
  };
  for (const Case& c : cases) ExpectOneRun(c.line, c.want);
}

TEST_F(TaskRunner, TakesLinesInTurnAtTheGeneratorsPace) {
  fixture::OwnedWindow probes[] = {fixture::MakeProbe(L"Turn 0"), fixture::MakeProbe(L"Turn 1"),
                                   fixture::MakeProbe(L"Turn 2")};
  UseTasks({L"\"Name=Turn 0\",Class=SkimletProbe,Key=1", L"\"Name=Turn 1\",Class=SkimletProbe,Key=2",
            L"\"Name=Turn 2\",Class=SkimletProbe,Key=3"});
  // The generator starts from seed 0 in every run, so the passes that act are known in advance.
  core::RandomGenerator predictor = main_->TaskDraw();
  EXPECT_EQ(predictor, core::RandomGenerator(0));
  constexpr int kPasses = 700;
  int acted = 0;
  for (int pass = 0; pass < kPasses; ++pass) {
    const bool acts = predictor.Draw(7) == 0;
    fixture::SkimletSession::RunIdlePasses(1);
    fixture::PumpMessages();
    const Log log = fixture::TakeProbeLog();
    if (!acts) {
      ASSERT_EQ(log, Log{}) << "pass " << pass;
      continue;
    }
    const int line = acted % 3;
    ASSERT_EQ(log, Key(probes[line].get(), line + 1)) << "pass " << pass << ", run " << acted;
    ++acted;
  }
  EXPECT_EQ(main_->TaskDraw(), predictor);
  // One pass in seven on average.
  EXPECT_NEAR(acted, kPasses / 7, kPasses / 35);
}

TEST_F(TaskRunner, ClosesOnEveryTurnUntilTheWindowIsGone) {
  fixture::OwnedWindow stubborn = fixture::MakeProbe(L"Stubborn", 2);
  const HWND window = stubborn.get();
  fixture::OwnedWindow other = fixture::MakeProbe(L"Other");
  UseTasks({L"Name=Stubborn,Class=SkimletProbe", L"Name=Other,Class=SkimletProbe,Key=9"});
  for (int turn = 0; turn < 3; ++turn) {
    EXPECT_EQ(fixture::RunUntilTaskRuns(*main_), Close(window)) << "turn " << turn;
    EXPECT_EQ(fixture::RunUntilTaskRuns(*main_), Key(other.get(), 9)) << "turn " << turn;
  }
  EXPECT_FALSE(::IsWindow(window));
  // Its line still takes its turn, and finds nothing.
  EXPECT_EQ(fixture::RunUntilTaskRuns(*main_), Log{});
  EXPECT_EQ(main_->TaskIndex(), 1);
  EXPECT_EQ(fixture::RunUntilTaskRuns(*main_), Key(other.get(), 9));
}

TEST_F(TaskRunner, LeavesTheProgramsOwnWindowsAlone) {
  UseTasks({L"Name=Skimlet,Class=TovFrmMain"});
  ASSERT_TRUE(::IsWindowVisible(main_->Handle()));
  fixture::RunUntilTaskRuns(*main_);
  EXPECT_EQ(main_->TaskIndex(), 1) << "the line took its turn";
  EXPECT_TRUE(::IsWindowVisible(main_->Handle())) << "not asked to close, so not hidden to the tray";
}

TEST_F(TaskRunner, NothingRunsWhileAPickIsDragged) {
  fixture::OwnedWindow probe = fixture::MakeProbe(L"Waiting");
  UseTasks({L"Name=Waiting,Class=SkimletProbe,Key=7"});
  ASSERT_NO_FATAL_FAILURE(fixture::PressPicker(*main_));
  fixture::TakeProbeLog();  // the passes until the press was seen may have run the line
  const core::RandomGenerator before = main_->TaskDraw();
  const int32_t index = main_->TaskIndex();
  fixture::SkimletSession::RunIdlePasses(60);
  fixture::PumpMessages();
  EXPECT_EQ(fixture::TakeProbeLog(), Log{});
  EXPECT_EQ(main_->TaskDraw(), before);  // no draw is used up either
  EXPECT_EQ(main_->TaskIndex(), index);
  ASSERT_NO_FATAL_FAILURE(fixture::ReleasePicker(*main_));
  fixture::TakeProbeLog();
  EXPECT_EQ(fixture::RunUntilTaskRuns(*main_), Key(probe.get(), 7));
}

TEST_F(TaskRunner, EmptyListLeavesTheIndexAlone) {
  UseTasks({});
  fixture::SkimletSession::RunIdlePasses(60);
  EXPECT_EQ(main_->TaskIndex(), 0);
}

}  // namespace
