// skimlet.com run as its own process on the windows of a third one (this program started again as a fixture
// process): what it prints parses back to those windows, "info" says what the tool window's panel says, snapshots
// and changes reach the window, the dry run touches nothing, and a console sees the exit codes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/ovMainForm.h"
#include "core/TaskDescription.h"
#include "core/Unicode.h"
#include "engine/ovListFile.h"
#include "base/Error.h"
#include "support/ConsoleRun.h"
#include "support/ImageFiles.h"
#include "support/InspectFixtures.h"
#include "support/MainWindow.h"
#include "support/Poll.h"
#include "support/Process.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"
#include "support/WindowClasses.h"

namespace {

using fixture::Arg;
using fixture::Outcome;
using fixture::RunSkimlet;
using fixture::SkimletCom;

constexpr wchar_t kClass[] = L"SkimletConsoleFixture";
constexpr wchar_t kTitle[] = L"Console fixture \u7a97 \u00e9t\u00e9";
constexpr wchar_t kButton[] = L"Press me";
constexpr RECT kBounds = {120, 140, 360, 300};
constexpr wchar_t kModeVariable[] = L"SKIMLET_CONSOLE_FIXTURE";

// The window of the "undo" fixture: it undoes every move and every disabling.
LRESULT CALLBACK UndoingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOMOVE | SWP_NOSIZE;
  if (message == WM_ENABLE && !wParam) ::EnableWindow(window, TRUE);
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// Runs only as the fixture process: a top-level window with a button, answering until the test ends it.
TEST(FixtureProcess, DISABLED_Windows) {
  if (!::GetEnvironmentVariableW(kModeVariable, nullptr, 0)) GTEST_SKIP() << "only run as a child";
  wchar_t mode[8] = {};
  ::GetEnvironmentVariableW(kModeVariable, mode, 8);
  const gui::UniqueBrush brush(::CreateSolidBrush(RGB(200, 40, 120)));
  ASSERT_TRUE(fixture::RegisterTestClass(kClass, std::wstring(mode) == L"undo" ? UndoingProc : ::DefWindowProcW,
                                         brush.get()));
  const fixture::OwnedWindow window(::CreateWindowExW(
      WS_EX_TOPMOST, kClass, kTitle, WS_POPUP | WS_VISIBLE, kBounds.left, kBounds.top, kBounds.right - kBounds.left,
      kBounds.bottom - kBounds.top, nullptr, nullptr, nullptr, nullptr));
  fixture::AddChild(window.get(), L"Button", kButton, 5, {10, 10, 110, 40});
  if (std::wstring(mode) == L"hang") ::Sleep(60000);  // a program that stops answering
  fixture::PollUntil([] { return false; }, 60000);  // the test ends this process long before
}

class FixtureProcess {
 public:
  explicit FixtureProcess(const wchar_t* mode = L"pump") {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_filter=FixtureProcess.DISABLED_Windows --gtest_also_run_disabled_tests";
    ::SetEnvironmentVariableW(kModeVariable, mode);
    STARTUPINFOW si{sizeof si};
    ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_);
    ::SetEnvironmentVariableW(kModeVariable, nullptr);
    // The button comes right after the window: both must be there before a test looks.
    fixture::PollUntil(
        [&] {
          top_ = fixture::FindProcessWindow(info_.dwProcessId, kClass, true);
          button_ = top_ ? ::FindWindowExW(top_, nullptr, L"Button", kButton) : nullptr;
          return button_ != nullptr;
        },
        15000);
    // Wine activates the new window a moment after it shows; a test that covers it must not race that activation,
    // which raises it again (its window is topmost, as the covers are).
    fixture::PollUntil([&] { return top_ && ::GetForegroundWindow() == top_; }, 3000);
  }
  ~FixtureProcess() {
    if (!info_.hProcess) return;
    ::TerminateProcess(info_.hProcess, 0);
    ::WaitForSingleObject(info_.hProcess, 5000);
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
  }
  HWND top() const { return top_; }
  HWND button() const { return button_; }
  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
  HWND top_ = nullptr;
  HWND button_ = nullptr;
};

std::wstring Hex(HWND window) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08X", fixture::LowBits(window));
  return text;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
  std::vector<std::wstring> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find(L'\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::wstring::npos) return fields;
    start = tab + 1;
  }
}

std::wstring ProgramName() {
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring path = exe;
  return path.substr(path.find_last_of(L'\\') + 1);
}

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture::FileExists(SkimletCom())) << "skimlet.com is not built";
    ASSERT_NE(windows.top(), nullptr) << "no window from the fixture process";
    ASSERT_NE(windows.button(), nullptr);
  }
  FixtureProcess windows;
};

TEST_F(ConsoleTest, ListAndJsonReadBackAsTheFixtureWindows) {
  const Outcome list = RunSkimlet(L"list --class SkimletConsole* --all");
  ASSERT_EQ(list.code, 0u) << list.err;
  ASSERT_EQ(list.lines.size(), 2u) << list.out;
  const std::vector<std::wstring> expected = {
      Hex(windows.top()), std::to_wstring(windows.id()), ProgramName(), kClass, kTitle, L"120,140,360,300"};
  EXPECT_EQ(Fields(list.lines[0]), expected);
  EXPECT_EQ(Fields(list.lines[1])[0], Hex(windows.button()));
  EXPECT_EQ(Fields(list.lines[1])[3], L"Button");

  const Outcome json = RunSkimlet(L"list --title " + Arg(kTitle) + L" --json");
  ASSERT_EQ(json.code, 0u) << json.err;
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  ASSERT_EQ(parsed.size(), 1u) << json.out;
  const nlohmann::json& w = parsed[0];
  EXPECT_EQ(core::Utf8ToWide(w["handle"].get<std::string>()), expected[0]);
  EXPECT_EQ(w["pid"].get<DWORD>(), windows.id());
  EXPECT_EQ(core::Utf8ToWide(w["exe"].get<std::string>()), ProgramName());
  EXPECT_EQ(core::Utf8ToWide(w["class"].get<std::string>()), kClass);
  EXPECT_EQ(core::Utf8ToWide(w["title"].get<std::string>()), kTitle);
  EXPECT_EQ(w["rect"]["left"], 120);
  EXPECT_EQ(w["rect"]["bottom"], 300);
}

TEST_F(ConsoleTest, InfoShowsThePanelLinesAndATaskLineThatFindsTheWindowAgain) {
  fixture::SkimletSession session;
  for (HWND window : {windows.top(), windows.button()}) {
    session.Main().ShowInfo(window);
    const std::vector<std::wstring> memo = fixture::MemoLines(session.Main());
    const Outcome info = RunSkimlet(L"info --handle " + Hex(window));
    ASSERT_EQ(info.code, 0u) << info.err;
    ASSERT_GT(info.lines.size(), memo.size());
    EXPECT_EQ(std::vector<std::wstring>(info.lines.begin(), info.lines.begin() + memo.size()), memo);
    ASSERT_EQ(info.lines.back().rfind(L"Task=", 0), 0u) << info.out;

    const Outcome again = RunSkimlet(L"info --task " + Arg(info.lines.back().substr(5)));
    ASSERT_EQ(again.code, 0u) << again.err;
    EXPECT_EQ(again.lines.front(), info.lines.front());
  }
}

TEST_F(ConsoleTest, SnapOfATitleWritesTheWindowsPixels) {
  fixture::TempFolder folder(L"skimlet-console-snap");
  const std::wstring path = folder.File(L"window.png");
  const Outcome snap = RunSkimlet(L"snap --title \"Console fixture*\" --out " + Arg(path));
  ASSERT_EQ(snap.code, 0u) << snap.err;
  EXPECT_EQ(snap.lines, std::vector<std::wstring>{path});
  EXPECT_EQ(folder.FileNames(), std::vector<std::wstring>{L"window.png"}) << "temporary files left behind";

  const std::vector<std::uint32_t> screen = fixture::ScreenPixels(kBounds);
  const auto png = fixture::DecodePng(path);
  ASSERT_TRUE(png);
  ASSERT_EQ(png->width, 240u);
  ASSERT_EQ(png->height, 160u);
  int mismatches = 0;
  for (std::size_t i = 0; i < screen.size(); ++i) {
    const std::uint8_t* p = png->bgra.data() + i * 4;
    const std::uint32_t rgb = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    if (rgb != screen[i] && ++mismatches <= 3) {
      ADD_FAILURE() << "pixel " << i % 240 << "," << i / 240 << ": " << std::hex << rgb << " on screen " << screen[i];
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(screen.back(), 0xC82878u) << "the fixture's colour is not what the screen shows";
}

// A window of the fixture process covered by one of ours: --as-shown takes the cover; by default the window itself,
// and afterwards the window order and the foreground window are as they were. (Wine leaves the X server's stacking
// of the lowered window as it was raised, so the screen is read as shown first.)
TEST_F(ConsoleTest, SnapOfACoveredWindowTakesItselfAndPutsEverythingBack) {
  const HWND w = windows.top();
  // With both windows topmost, Wine at times raises the fixture's window above the newer cover a moment later, in
  // the window order only or on the screen too; the fixture leaves the topmost band first, so the cover stays above.
  ::SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const fixture::SolidWindow cover(L"Cover", {200, 200, 300, 260}, RGB(0, 0, 0), WS_EX_TOPMOST);
  ASSERT_TRUE(fixture::PollUntil([] { return fixture::ScreenPixels({250, 230, 251, 231}).at(0) == 0; }));
  const HWND above = ::GetWindow(w, GW_HWNDPREV), foreground = ::GetForegroundWindow();
  fixture::TempFolder folder(L"skimlet-console-itself");
  for (const bool asShown : {true, false}) {
    SCOPED_TRACE(asShown ? "as shown" : "itself");
    const std::wstring path = folder.File(asShown ? L"shown.bmp" : L"itself.bmp");
    const Outcome snap =
        RunSkimlet(L"snap --handle " + Hex(w) + L" --bmp --out " + Arg(path) + (asShown ? L" --as-shown" : L""));
    ASSERT_EQ(snap.code, 0u) << snap.err;
    EXPECT_EQ(fixture::BmpPixel(fixture::ReadFileBytes(path), 130, 90), asShown ? 0u : 0xC82878u);
    EXPECT_EQ(::GetWindow(w, GW_HWNDPREV), above);
    EXPECT_EQ(::GetForegroundWindow(), foreground);
  }
}

TEST_F(ConsoleTest, SetChangesTheWindowAndPrintsItsNewState) {
  const HWND w = windows.top();
  ASSERT_EQ(RunSkimlet(L"set --handle " + Hex(w) + L" --topmost off").code, 0u);
  EXPECT_FALSE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);

  const Outcome set = RunSkimlet(L"set --handle " + Hex(w) + L" --topmost on --alpha 128 --rect 150,160,200,120");
  ASSERT_EQ(set.code, 0u) << set.err;
  RECT rect{};
  ::GetWindowRect(w, &rect);
  EXPECT_EQ(rect.left, 150);
  EXPECT_EQ(rect.top, 160);
  EXPECT_EQ(rect.right, 350);
  EXPECT_EQ(rect.bottom, 280);
  EXPECT_TRUE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
  BYTE alpha = 0;
  EXPECT_TRUE(::GetLayeredWindowAttributes(w, nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 128);
  ASSERT_EQ(set.lines.size(), 1u);
  EXPECT_EQ(Fields(set.lines[0])[5], L"150,160,350,280");
}

TEST(Console, SetOnAWindowThatDoesNotAnswerFailsAndLeavesIt) {
  FixtureProcess hung(L"hang");
  ASSERT_NE(hung.top(), nullptr);
  const Outcome set = RunSkimlet(L"set --handle " + Hex(hung.top()) + L" --alpha 128");
  EXPECT_EQ(set.code, 3u);
  EXPECT_NE(set.err.find("does not answer"), std::string::npos) << set.err;
  EXPECT_FALSE(::GetWindowLongW(hung.top(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// A window that undoes every move and every disabling: set fails with the news, and the panel goes back to the
// window's real state.
TEST(Console, AWindowThatUndoesChangesIsReportedAndShownAsItIs) {
  FixtureProcess undoing(L"undo");
  const HWND w = undoing.top();
  ASSERT_NE(w, nullptr);
  for (const wchar_t* change : {L" --enable off", L" --rect 10,20,200,100"}) {
    const Outcome set = RunSkimlet(L"set --handle " + Hex(w) + change);
    EXPECT_EQ(set.code, 3u) << change;
    EXPECT_NE(set.err.find("The window did not take the change."), std::string::npos) << set.err;
  }
  fixture::SkimletSession session;
  TovFrmMain& main = session.Main();
  main.ShowInfo(w);
  ASSERT_TRUE(fixture::Checked(main.ControlHandle(L"cbEnable")));
  fixture::ClickAt(fixture::CenterOf(main.ControlHandle(L"cbEnable")));
  fixture::Type(main.ControlHandle(L"eLeft"), L"10");
  fixture::ClickAt(fixture::CenterOf(main.ControlHandle(L"bSize")));
  fixture::SkimletSession::RunLoopUntil([] { return false; }, 500);
  EXPECT_TRUE(::IsWindowEnabled(w));
  EXPECT_TRUE(fixture::Checked(main.ControlHandle(L"cbEnable")));
  EXPECT_EQ(fixture::TextOf(main.ControlHandle(L"eLeft")), std::to_wstring(kBounds.left));
}

TEST_F(ConsoleTest, DryRunNamesEachLinesWindowAndTouchesNothing) {
  fixture::TempFolder folder(L"skimlet-console-tasks");
  const core::TaskDescription top{kTitle, kClass};
  const core::TaskDescription button{kButton, L"Button", kTitle, kClass};
  const std::vector<std::wstring> lines = {top.ToLine(), button.ToLine(), L"Name=No such window,Class=NoSuchClass"};
  SaveListFile(folder.File(L"tasks.ini"), lines);

  const Outcome tasks = RunSkimlet(L"tasks --file " + Arg(folder.File(L"tasks.ini")));
  ASSERT_EQ(tasks.code, 0u) << tasks.err;
  ASSERT_EQ(tasks.lines.size(), 3u) << tasks.out;
  EXPECT_EQ(Fields(tasks.lines[0])[2], Hex(windows.top()));
  EXPECT_EQ(Fields(tasks.lines[0]).back(), L"close");
  EXPECT_EQ(Fields(tasks.lines[1])[2], Hex(windows.button()));
  EXPECT_EQ(Fields(tasks.lines[1]).back(), L"click");
  EXPECT_EQ(tasks.lines[2], L"3\tName=No,such,window,Class=NoSuchClass\tno window") << "the items as read";
  fixture::Settle(300);
  EXPECT_TRUE(::IsWindowVisible(windows.top())) << "the dry run closed the window";
}

TEST_F(ConsoleTest, AMissingTaskFileOrADeviceAsOutputIsRefusedWithTheReason) {
  const Outcome tasks = RunSkimlet(L"tasks --file no-such-tasks.ini");
  EXPECT_EQ(tasks.code, 3u);
  EXPECT_NE(tasks.err.find("Cannot read"), std::string::npos) << tasks.err;
  const Outcome snap = RunSkimlet(L"snap --region 0,0,8,8 --out NUL");
  EXPECT_EQ(snap.code, 2u);
  EXPECT_NE(snap.err.find("is a device"), std::string::npos) << snap.err;
}

// The codes as cmd sees them: skimlet typed in a batch file in the program's folder, where skimlet.exe lies
// beside skimlet.com, and with a console of its own.
TEST_F(ConsoleTest, ConsoleSeesEachExitCode) {
  fixture::TempFolder folder(L"skimlet-console-codes");
  const std::wstring codes = folder.File(L"codes.txt");
  std::string script = "@echo off\r\ncd /d \"" + core::WideToUtf8(fixture::BuiltProductFolder()) + "\"\r\n";
  for (const char* args : {"--version", "info --title \"No such window anywhere*\"", "set --handle 0x1 --alpha 300",
                           "snap --region 0,0,8,8 --out missing-folder\\x.png"}) {
    // The redirection goes first: after the code, "2>>" would redirect standard error instead.
    script += std::string("skimlet ") + args + "\r\n>>\"" + core::WideToUtf8(codes) + "\" echo %ERRORLEVEL%\r\n";
  }
  ASSERT_TRUE(fixture::WriteFileBytes(folder.File(L"codes.bat"), script));
  std::wstring command = L"cmd.exe /c " + Arg(folder.File(L"codes.bat"));
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                               &si, &pi));
  fixture::PollUntil([&] { return ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 30000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  EXPECT_EQ(fixture::ReadFileBytes(codes), "0\r\n1\r\n2\r\n3\r\n");
}

}  // namespace
