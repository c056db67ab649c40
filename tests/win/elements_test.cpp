// Accessible elements of another process (element_fixture): read at a point and as a tree by the engine and by
// skimlet.com, found and pressed by an element task, and a program whose accessible object never answers costs each
// caller at most its bound.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/ElementText.h"
#include "engine/ovElements.h"
#include "support/ConsoleRun.h"
#include "support/Poll.h"
#include "support/Process.h"
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
  const auto task = core::TaskItems::FromLine(L"Class=SkimletElements,\"eName=UPDATE NOW\",\"eRole=Push Button\"");
  const TovElementLimits limits{.budget = kGenerous};
  const TovElementHit look = FindTaskElement(fixture.Window(), task, false, limits);
  ASSERT_EQ(look.status, TovElementStatus::Found);
  EXPECT_EQ(look.element.name, L"Update now");
  EXPECT_FALSE(look.acted);
  EXPECT_EQ(fixture.Presses(), "");
  EXPECT_TRUE(FindTaskElement(fixture.Window(), task, true, limits).acted);
  EXPECT_TRUE(fixture::PollUntil([&] { return fixture.Presses() == "press Update now\r\n"; }));
  EXPECT_EQ(FindTaskElement(fixture.Window(), core::TaskItems::FromLine(L"eName=Later,eRole=link"), true, limits).status,
            TovElementStatus::None);
}

TEST(Elements, AProgramThatNeverAnswersCostsEachCallerItsBound) {
  Fixture fixture(L"hang");
  ASSERT_TRUE(fixture.Window());
  const POINT point = fixture.Centre(0);
  auto start = Clock::now();
  EXPECT_EQ(ReadElementAt(point).status, TovElementStatus::Blocked);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(5000)) << "the bound, and a first call's set-up";
  start = Clock::now();
  EXPECT_EQ(ReadElementAt(point).status, TovElementStatus::Blocked);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100)) << "the window is left alone for a while";

  const fixture::Outcome run = fixture::RunSkimlet(At(point));
  EXPECT_EQ(run.code, 3u);
  const fixture::Outcome tree = fixture::RunSkimlet(L"element --class SkimletElements");
  EXPECT_EQ(tree.code, 3u);

  // The threads given up do not hold up other windows' elements.
  Fixture answering;
  EXPECT_EQ(ReadElementAt(answering.Centre(2), kGenerous).status, TovElementStatus::Found);
}

}  // namespace
