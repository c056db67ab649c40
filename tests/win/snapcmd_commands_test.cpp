// The window and region snapshot commands of the main window, run on the whole program inside the test process
// with a fake executable path in a temporary folder: the desktop as the fallback target, what the image shows with
// and without hiding the program, the capture time in the caption, the file handed to the shell, the region dragged
// with real mouse input, and a bitmap that cannot be written.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/ovMainForm.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "support/Backdrop.h"
#include "support/Drags.h"
#include "support/FixtureForm.h"
#include "support/ImageFiles.h"
#include "support/InspectFixtures.h"
#include "support/MainWindow.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"
#include "support/TimedScript.h"
#include "support/WindowClasses.h"

namespace {

using fixture::kBackdropPixel;
using fixture::OverlayUp;
using fixture::TimedScript;

constexpr int kScriptTimeoutMs = 10000;

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The conversion library of this build: the copy beside the PNG tests, else the one beside the program.
std::wstring BuiltLibrary() {
  for (const std::wstring& path :
       {fixture::ProgramFolder() + L"png_libs\\real.dll", fixture::BuiltProductFolder() + L"skimlet.dll"}) {
    if (fixture::FileExists(path)) return path;
  }
  return {};
}

// The program as if it ran from <temp>\tool.exe, over a plain window that fills the screen, so that the image
// shows a known colour wherever the program's windows are not.
struct SnapProgram {
  explicit SnapProgram(bool withLibrary = false) {
    exe = folder.File(L"tool.exe");
    bmp = exe + L".tmp.bmp";
    png = exe + L".tmp.png";
    if (withLibrary) {
      const std::wstring library = BuiltLibrary();
      EXPECT_FALSE(library.empty()) << "build skimlet_png: no conversion library found";
      EXPECT_TRUE(::CopyFileW(library.c_str(), folder.File(L"tool.dll").c_str(), FALSE)) << "library copied";
    }
    // Made before the program's windows, so that they lie above it on the X screen too: under Wine without a
    // window manager a window mapped later covers them there, whatever the window order says.
    gui::FormDesign design = fixture::BackdropDesign(
        L"SnapCommandBackdrop", {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, /*topmost=*/false);
    backdrop = std::make_unique<fixture::FixtureForm>(design);
    EXPECT_TRUE(backdrop->Create());
    backdrop->Show(SW_SHOWNOACTIVATE);
    // A tiny window of ours in the corner that takes the keyboard while the main window is hidden.
    design.className = L"SnapCommandKeys";
    design.client = {8, 8};
    keys = std::make_unique<fixture::FixtureForm>(design);
    EXPECT_TRUE(keys->Create());
    keys->Show(SW_SHOWNOACTIVATE);

    session = std::make_unique<fixture::SkimletSession>(exe);
    ::GetWindowRect(Main().Handle(), &mainRect);
    fixture::PointerTo({5, 5});  // no hint balloon over the main window
    fixture::Settle(200);
  }
  ~SnapProgram() {
    keys.reset();
    backdrop.reset();
    session.reset();
  }

  TovFrmMain& Main() { return session->Main(); }
  POINT MainCenter() const { return {(mainRect.left + mainRect.right) / 2, (mainRect.top + mainRect.bottom) / 2}; }
  std::vector<std::wstring> History() { return fixture::MenuCaptions(fixture::Submenu(Main(), L"H&istory"), 2); }
  std::size_t HistoryEntries() { return History().size(); }
  bool Shown() { return ::IsWindowVisible(Main().Handle()) && session->tray.Shown(); }

  fixture::TempFolder folder{L"skimlet-snapcmd"};
  std::wstring exe;
  std::wstring bmp;
  std::wstring png;
  std::unique_ptr<fixture::SkimletSession> session;
  std::unique_ptr<fixture::FixtureForm> backdrop;
  std::unique_ptr<fixture::FixtureForm> keys;
  RECT mainRect{};
};

// One pixel of the screen as 0x00RRGGBB (the form of ScreenPixels and BmpPixel, not a COLORREF).
std::uint32_t ScreenRgb(POINT at) { return fixture::ScreenPixels({at.x, at.y, at.x + 1, at.y + 1}).at(0); }

// Holds Shift (the capture waits for its release) and records what the program looks like meanwhile.
struct ShiftHold {
  explicit ShiftHold(SnapProgram& program, int holdMs) {
    inFront = fixture::BringToFront(program.keys->Handle());
    // Wine re-reads the X server's key state when the focus changes, which can drop a Shift sent just before.
    for (int attempt = 0; attempt < 5 && !held; ++attempt) {
      fixture::Key(VK_SHIFT, true);
      held = fixture::PollUntil([] { return (::GetKeyState(VK_SHIFT) & 0x8000) != 0; }, 500);
    }
    const ULONGLONG release = ::GetTickCount64() + static_cast<ULONGLONG>(holdMs);
    HWND front = program.keys->Handle();
    script
        .Then([&program, this] {
          mainVisible = ::IsWindowVisible(program.Main().Handle()) != FALSE;
          trayVisible = program.session->tray.Shown();
        })
        .Then(
            [front] {
              ::SetForegroundWindow(front);
              fixture::Key(VK_SHIFT, false);
            },
            [release] { return ::GetTickCount64() >= release; });
    script.Start(kScriptTimeoutMs, [] { fixture::Key(VK_SHIFT, false); });
  }
  ~ShiftHold() {
    script.Stop();
    if (::GetKeyState(VK_SHIFT) & 0x8000) fixture::Key(VK_SHIFT, false);
    fixture::PumpMessages();
  }

  TimedScript script;
  bool inFront = false;  // the window that takes the keyboard came to the front
  bool held = false;
  bool mainVisible = true;
  bool trayVisible = true;
};

TEST(SnapCommand, WindowSnapshotWithNothingPickedTakesTheWholeScreenAndRecordsTheDesktop) {
  SnapProgram program;
  TovFrmMain& main = program.Main();
  ASSERT_FALSE(main.Target().IsValid());
  const std::size_t historyBefore = program.HistoryEntries();

  fixture::Choose(main, {L"&Snap", L"&Window"});

  EXPECT_EQ(main.Target().Wnd, ::GetDesktopWindow());
  RECT desktop{};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  const auto size = fixture::BmpSize(fixture::ReadFileBytes(program.bmp));
  ASSERT_TRUE(size.has_value()) << "no bitmap written";
  EXPECT_EQ(size->cx, desktop.right - desktop.left);
  EXPECT_EQ(size->cy, desktop.bottom - desktop.top);
  ASSERT_EQ(program.HistoryEntries(), historyBefore + 1);
  wchar_t desktopHandle[16];
  std::swprintf(desktopHandle, 16, L"~%.6X~", fixture::LowBits(::GetDesktopWindow()));
  EXPECT_NE(program.History().back().find(desktopHandle), std::wstring::npos) << "recorded: the desktop";
  EXPECT_TRUE(std::regex_match(main.Caption(), std::wregex(L"Skimlet [0-9]+")))
      << testing::PrintToString(main.Caption());
  EXPECT_EQ(program.session->opened, std::vector<std::wstring>{program.bmp});  // no library beside tool.exe
  EXPECT_TRUE(program.Shown());
}

// With the Hide option the main window and its tray icon are out of the way while the screen is read, and back
// afterwards, also when the window was hidden in the tray before; without it the always-on-top window is in the
// image. Shift is held during the capture, so the state is read while the command waits.
TEST(SnapCommand, HideOptionKeepsTheProgramOutOfTheImageAndShowsItAgain) {
  struct Case {
    bool hideSelf;
    bool hiddenBefore;
  };
  const Case cases[] = {{true, false}, {true, true}, {false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "hide option " << c.hideSelf << ", hidden before " << c.hiddenBefore);
    // Wine re-reads the X server's key state when the focus moves (hiding the main window moves it), and the X
    // server never saw the synthetic Shift: it may count as released before the capture starts. Such a run proves
    // nothing either way, so it is made again (four runs at most: a command that never waits still fails).
    for (int attempt = 1;; ++attempt) {
      SnapProgram program;
      TovFrmMain& main = program.Main();
      if (!c.hideSelf) fixture::Choose(main, {L"&Snap", L"&Options", L"&Hide Skimlet"});  // ticked at start
      ASSERT_NE(ScreenRgb(program.MainCenter()), kBackdropPixel) << "the main window is not on the screen";
      if (c.hiddenBefore) {
        main.Hide();
        ASSERT_TRUE(fixture::PollUntil([&] { return ScreenRgb(program.MainCenter()) == kBackdropPixel; }));
      }

      ShiftHold shift(program, 300);
      ASSERT_TRUE(shift.inFront) << "the key window did not come to the front";
      ASSERT_TRUE(shift.held) << "Shift did not go down";
      fixture::Choose(main, {L"&Snap", L"&Window"});
      shift.script.Stop();

      if (!shift.script.Done() && attempt < 4) continue;
      EXPECT_TRUE(shift.script.Done()) << "the command did not wait for Shift";
      EXPECT_EQ(shift.mainVisible, !c.hideSelf && !c.hiddenBefore);
      EXPECT_EQ(shift.trayVisible, !c.hideSelf);
      const auto image = fixture::ReadFileBytes(program.bmp);
      const POINT center = program.MainCenter();
      const bool mainInImage = !c.hideSelf && !c.hiddenBefore;
      const auto pixel = fixture::BmpPixel(image, center.x, center.y);
      ASSERT_TRUE(pixel.has_value()) << "no bitmap written";
      if (mainInImage) {
        EXPECT_NE(*pixel, kBackdropPixel);
      } else {
        EXPECT_EQ(*pixel, kBackdropPixel);
      }
      // The caption counts the whole wait for Shift (the tick count's steps may be up to 16 ms apart).
      const std::wstring caption = main.Caption();
      std::wsmatch number;
      ASSERT_TRUE(std::regex_match(caption, number, std::wregex(L"Skimlet ([0-9]+)")));
      EXPECT_GE(std::stoul(number[1].str()), 280u);
      EXPECT_TRUE(program.Shown());
      break;
    }
  }
}

TEST(SnapCommand, OpensThePngWhenTheLibraryIsBesideTheExecutableElseTheBitmap) {
  for (const bool withLibrary : {true, false}) {
    SCOPED_TRACE(withLibrary ? "with tool.dll" : "without tool.dll");
    SnapProgram program(withLibrary);
    fixture::Choose(program.Main(), {L"&Snap", L"&Window"});

    ASSERT_EQ(program.session->opened.size(), 1u);
    const std::wstring& opened = program.session->opened[0];
    EXPECT_EQ(opened, withLibrary ? program.png : program.bmp);
    const std::string signature = withLibrary ? std::string("\x89PNG") : std::string("BM");
    EXPECT_EQ(fixture::ReadFileBytes(opened).substr(0, signature.size()), signature);
    EXPECT_TRUE(fixture::FileExists(program.bmp));  // the bitmap stays after conversion
  }
}

TEST(SnapCommand, RegionSnapshotCapturesTheDraggedRectangleOnly) {
  SnapProgram program;
  TovFrmMain& main = program.Main();
  const std::size_t historyBefore = program.HistoryEntries();
  // No cursor in the image: every pixel should be the backdrop's.
  fixture::Choose(main, {L"&Snap", L"&Options", L"Snap &Cursor"});
  // Inside the backdrop, left of the main window.
  const POINT from{program.mainRect.left - 10, program.mainRect.top - 5};
  const POINT to{program.mainRect.left - 35, program.mainRect.top - 30};
  bool mainVisible = true;
  bool trayVisible = true;
  TimedScript script;
  script.Then(
      [&] {
        mainVisible = ::IsWindowVisible(main.Handle()) != FALSE;
        trayVisible = program.session->tray.Shown();
      },
      OverlayUp);
  fixture::ScriptRegionDrag(script, from, {to});
  script.Start(kScriptTimeoutMs, fixture::CloseOverlay);

  fixture::Choose(main, {L"&Snap", L"&Region"});
  script.Stop();

  EXPECT_TRUE(script.Done()) << "stuck after step " << script.StepsDone();
  EXPECT_FALSE(mainVisible);
  EXPECT_FALSE(trayVisible);
  const auto image = fixture::ReadFileBytes(program.bmp);
  const auto size = fixture::BmpSize(image);
  ASSERT_TRUE(size.has_value()) << "no bitmap written";
  EXPECT_EQ(size->cx, 25);
  EXPECT_EQ(size->cy, 25);
  // Neither the overlay's tint nor its frame is in the image.
  int notBackdrop = 0;
  for (int y = 0; y < 25; ++y) {
    for (int x = 0; x < 25; ++x) notBackdrop += fixture::BmpPixel(image, x, y) != kBackdropPixel;
  }
  EXPECT_EQ(notBackdrop, 0);
  EXPECT_EQ(program.session->opened, std::vector<std::wstring>{program.bmp});
  // The region snapshot needs no target, leaves the caption alone and records nothing.
  EXPECT_EQ(main.Target().Wnd, nullptr);
  EXPECT_EQ(main.Caption(), L"Skimlet");
  EXPECT_EQ(program.HistoryEntries(), historyBefore);
  EXPECT_TRUE(program.Shown());
}

// A bitmap path that cannot be created (a folder already has the bitmap file's name; Wine does not honour a
// read-only folder attribute, so that is not used): the error reaches the error report through the button's own
// event boundary, with the window and tray icon already back, and no file is left under the final name.
TEST(SnapCommand, UnwritableBitmapIsReportedWithTheProgramShownAgain) {
  for (const bool region : {false, true}) {
    SCOPED_TRACE(region ? "region snapshot" : "window snapshot");
    SnapProgram program;
    TovFrmMain& main = program.Main();
    ASSERT_TRUE(::CreateDirectoryW(program.bmp.c_str(), nullptr));
    struct Report {
      std::wstring target;
      bool shown;
    };
    std::vector<Report> reports;
    gui::Application::Instance().SetShellOpener([&](const std::wstring& target) {
      reports.push_back({target, program.Shown()});
      return true;
    });

    TimedScript script;
    if (region) {
      fixture::ScriptRegionDrag(script, {100, 100}, {{140, 130}});
      script.Start(kScriptTimeoutMs, fixture::CloseOverlay);
    }
    fixture::ClickAt(fixture::CenterOf(region ? main.ControlHandle(L"bSnapReg") : main.ControlHandle(L"bSnapWin")));
    ASSERT_TRUE(fixture::PollUntil([&] { return !reports.empty(); }, 8000)) << "nothing was reported";
    fixture::Settle(100);
    script.Stop();

    ASSERT_EQ(reports.size(), 1u) << "only the error report is opened";
    EXPECT_NE(reports[0].target.find(L"err"), std::wstring::npos);
    EXPECT_TRUE(reports[0].shown) << "window or tray icon still hidden when the error was reported";
    EXPECT_TRUE(program.Shown());
    EXPECT_TRUE(IsDirectory(program.bmp));
    for (const std::wstring& name : program.folder.FileNames()) {
      EXPECT_EQ(name.find(L".part"), std::wstring::npos) << "left behind: " << testing::PrintToString(name);
    }
    EXPECT_EQ(main.Caption(), L"Skimlet");  // the steps after the capture did not run
    ::RemoveDirectoryW(program.bmp.c_str());
  }
}

// A covered window: with "Window itself" unticked the snapshot is the screen as it is, the cover included; ticked,
// it is the window itself.
TEST(SnapCommand, WindowItselfOptionDecidesWhetherACoveredWindowShowsItsCover) {
  SnapProgram program;
  TovFrmMain& main = program.Main();
  const fixture::SolidWindow target(L"Covered", {300, 200, 400, 280}, RGB(0, 160, 0));
  const fixture::SolidWindow cover(L"Cover", {340, 220, 440, 300}, RGB(160, 0, 0));
  ASSERT_TRUE(fixture::PollUntil([] { return ScreenRgb({360, 240}) == 0xA00000; }));
  main.ShowInfo(target.get());
  for (const bool ticked : {false, true}) {
    SCOPED_TRACE(ticked ? "ticked" : "unticked");
    if (ticked) fixture::Choose(main, {L"&Snap", L"&Options", L"Window &itself"});
    ASSERT_EQ(fixture::MenuChecked(main, {L"&Snap", L"&Options", L"Window &itself"}), ticked) << "starts unticked";
    fixture::Choose(main, {L"&Snap", L"&Window"});
    EXPECT_EQ(fixture::BmpPixel(fixture::ReadFileBytes(program.bmp), 60, 40), ticked ? 0x00A000u : 0xA00000u);
  }
}

TEST(SnapCommand, SnapCursorOptionTogglesAndReachesTheHelper) {
  SnapProgram program;
  TovFrmMain& main = program.Main();
  ASSERT_TRUE(fixture::MenuChecked(main, {L"&Snap", L"&Options", L"Snap &Cursor"}));
  ASSERT_TRUE(main.Target().SnapCursor);
  for (const bool expected : {false, true, false}) {
    fixture::Choose(main, {L"&Snap", L"&Options", L"Snap &Cursor"});
    EXPECT_EQ(fixture::MenuChecked(main, {L"&Snap", L"&Options", L"Snap &Cursor"}), expected);
    EXPECT_EQ(main.Target().SnapCursor, expected);
  }
}

// The clipboard's content in `format`, if it holds that format.
std::optional<std::string> ClipboardBytes(UINT format) {
  if (!fixture::PollUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 2000)) return std::nullopt;
  std::optional<std::string> bytes;
  if (const HANDLE data = ::GetClipboardData(format)) {
    if (const void* p = ::GlobalLock(data)) {
      bytes.emplace(static_cast<const char*>(p), ::GlobalSize(data));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return bytes;
}

// Ticked, the snapshot also goes to the clipboard as the bitmap file's picture and as the PNG file; unticked, the
// clipboard keeps what it held.
TEST(SnapCommand, CopyToClipboardOptionPutsTheBitmapAndThePngThere) {
  const UINT pngFormat = ::RegisterClipboardFormatW(L"PNG");
  for (const bool ticked : {false, true}) {
    SCOPED_TRACE(ticked ? "ticked" : "unticked");
    SnapProgram program(/*withLibrary=*/true);
    TovFrmMain& main = program.Main();
    ASSERT_FALSE(fixture::MenuChecked(main, {L"&Snap", L"&Options", L"Copy to clip&board"})) << "the option starts unticked";
    if (ticked) fixture::Choose(main, {L"&Snap", L"&Options", L"Copy to clip&board"});
    ASSERT_EQ(fixture::MenuChecked(main, {L"&Snap", L"&Options", L"Copy to clip&board"}), ticked);
    const std::string before = "held before the snapshot";
    const HWND owner = program.keys->Handle();  // with no owner, EmptyClipboard makes SetClipboardData fail
    ASSERT_TRUE(fixture::PollUntil([owner] { return ::OpenClipboard(owner) != FALSE; }, 2000));
    ::EmptyClipboard();
    const HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, before.size() + 1);
    std::memcpy(::GlobalLock(text), before.c_str(), before.size() + 1);
    ::GlobalUnlock(text);
    ::SetClipboardData(CF_TEXT, text);
    ::CloseClipboard();

    fixture::Choose(main, {L"&Snap", L"&Window"});

    ASSERT_EQ(program.session->opened, std::vector<std::wstring>{program.png});
    const std::string file = fixture::ReadFileBytes(program.bmp);
    const auto dib = ClipboardBytes(CF_DIB);
    const auto png = ClipboardBytes(pngFormat);
    if (!ticked) {
      EXPECT_EQ(ClipboardBytes(CF_TEXT).value_or("").c_str(), before);
      EXPECT_FALSE(dib);
      EXPECT_FALSE(png);
      continue;
    }
    ASSERT_TRUE(dib);
    ASSERT_GE(dib->size(), file.size() - 14);
    EXPECT_TRUE(dib->compare(0, file.size() - 14, file, 14) == 0) << "the clipboard's bitmap is not the file's";
    ASSERT_TRUE(png);
    const std::wstring copy = program.folder.File(L"clipboard.png");
    ASSERT_TRUE(fixture::WriteFileBytes(copy, *png));
    const auto decoded = fixture::DecodePng(copy);
    const auto size = fixture::BmpSize(file);
    ASSERT_TRUE(decoded && size);
    ASSERT_EQ(static_cast<LONG>(decoded->width), size->cx);
    ASSERT_EQ(static_cast<LONG>(decoded->height), size->cy);
    int mismatches = 0;
    for (LONG y = 0; y < size->cy; ++y) {
      for (LONG x = 0; x < size->cx; ++x) {
        const std::uint8_t* p = decoded->bgra.data() + (static_cast<std::size_t>(y) * size->cx + x) * 4;
        const std::uint32_t rgb = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        mismatches += rgb != fixture::BmpPixel(file, x, y);
      }
    }
    EXPECT_EQ(mismatches, 0) << "the clipboard's PNG differs from the bitmap";
  }
}

TEST(SnapCommand, AClipboardThatAnotherProgramHoldsIsReportedInTheBalloon) {
  SnapProgram program(/*withLibrary=*/false);
  TovFrmMain& main = program.Main();
  fixture::Choose(main, {L"&Snap", L"&Options", L"Copy to clip&board"});
  base::UniqueHandleObject release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<bool> held = false;
  std::thread holder([&] {
    const fixture::OwnedWindow owner(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                                       nullptr, nullptr));
    held = ::OpenClipboard(owner.get()) != FALSE;
    ::WaitForSingleObject(release.get(), 30000);
    ::CloseClipboard();
  });
  ASSERT_TRUE(fixture::PollUntil([&] { return held.load(); }, 5000));
  fixture::Choose(main, {L"&Snap", L"&Window"});
  ::SetEvent(release.get());
  holder.join();
  EXPECT_NE(program.session->tray.Balloons().back().find(L"clipboard"), std::wstring::npos);
}

}  // namespace
