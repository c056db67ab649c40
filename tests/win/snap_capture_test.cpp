// Screen capture into bitmap files, on a window painted with a known pattern: every pixel, the header, the
// cursor drawn in and clipped, empty rectangles, the wait while Shift is held, and failed writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ovEngineHost.h"
#include "base/Error.h"
#include "base/Handles.h"
#include "core/Bmp.h"
#include "engine/ovWinSnap.h"
#include "engine/ovWindowCapture.h"
#include "gui/Handles.h"
#include "support/Poll.h"
#include "support/TestFiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using fixture::TempFolder;

constexpr int kLeft = 200, kTop = 150, kWidth = 64, kHeight = 48;
constexpr int kHotX = 5, kHotY = 9, kCursorSize = 32;
constexpr UINT kPosted = WM_APP + 1;
constexpr int kWaitMs = 5000;

// Never black, so that the black test cursor stands out; `phase` changes every pixel.
COLORREF Pattern(int x, int y, int phase) {
  return RGB((x * 5 + phase * 100) % 256, (y * 7) % 256, 50 + (x + y + phase * 30) % 200);
}

// A solid black cursor with a known hot spot.
HCURSOR MakeBlackCursor() {
  std::vector<std::uint8_t> andMask(kCursorSize * kCursorSize / 8, 0x00), xorMask(andMask.size(), 0x00);
  return ::CreateCursor(::GetModuleHandleW(nullptr), kHotX, kHotY, kCursorSize, kCursorSize, andMask.data(),
                        xorMask.data());
}

// A topmost borderless window painted with Pattern(x, y, phase) and showing the black cursor.
class PatternWindow {
 public:
  PatternWindow() : cursor_(MakeBlackCursor()) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = cursor_.get();
    wc.lpszClassName = L"SnapCaptureTestPattern";
    ::RegisterClassW(&wc);
    window_ = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"pattern", WS_POPUP | WS_VISIBLE, kLeft, kTop,
                                kWidth, kHeight, nullptr, nullptr, wc.hInstance, this);
    ::SetForegroundWindow(window_);
  }
  ~PatternWindow() {
    ::DestroyWindow(window_);
    ::UnregisterClassW(L"SnapCaptureTestPattern", ::GetModuleHandleW(nullptr));
  }
  HWND hwnd() const { return window_; }
  HCURSOR cursor() const { return cursor_.get(); }

  void SetPhase(int phase) {
    phase_ = phase;
    ::InvalidateRect(window_, nullptr, FALSE);
    ::UpdateWindow(window_);
  }
  bool PhaseOnScreen() const {
    return fixture::ScreenPixel({kLeft + 3, kTop + 4}) == Pattern(3, 4, phase_) &&
           fixture::ScreenPixel({kLeft + kWidth - 2, kTop + kHeight - 3}) == Pattern(kWidth - 2, kHeight - 3, phase_);
  }
  int phase() const { return phase_; }

  std::function<void()> onTimer;
  int posted = 0;
  bool printable = true;  // draws itself when asked to print

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<PatternWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
      switch (msg) {
        case WM_PAINT: {
          const gui::PaintDc dc(hwnd);
          self->Paint(dc.dc());
          return 0;
        }
        case WM_PRINTCLIENT:  // what PrintWindow asks for
          if (self->printable) self->Paint(reinterpret_cast<HDC>(wp));
          return 0;
        case WM_ERASEBKGND:
          return 1;
        case WM_TIMER:
          if (self->onTimer) self->onTimer();
          return 0;
        case kPosted:
          ++self->posted;
          return 0;
      }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }

  void Paint(HDC dc) const {
    std::vector<std::uint32_t> pixels(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF c = Pattern(x, y, phase_);
        pixels[y * kWidth + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      }
    }
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, pixels.data(), &bi, DIB_RGB_COLORS);
  }

  gui::UniqueIcon cursor_;
  HWND window_ = nullptr;
  int phase_ = 0;
};

std::uint32_t ExpectedDepth() {
  const gui::WindowDc screen = gui::WindowDc::Client();
  return ::GetDeviceCaps(screen.dc(), BITSPIXEL) * ::GetDeviceCaps(screen.dc(), PLANES) == 32 ? 32 : 24;
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Checks the header and compares every pixel with `expected(x, y)` (image coordinates).
void ExpectBitmap(const std::wstring& path, int w, int h, const std::function<COLORREF(int, int)>& expected) {
  ASSERT_TRUE(fixture::FileExists(path));
  const std::string bytes = fixture::ReadFileBytes(path);
  const Bytes file(bytes.begin(), bytes.end());
  const core::BmpCheck check = core::CheckBmp(file);
  ASSERT_TRUE(check.ok()) << "problem " << static_cast<int>(check.problem);
  const std::uint32_t depth = ExpectedDepth();
  EXPECT_EQ(U32(file, 2), file.size());
  EXPECT_EQ(U32(file, 10), 54u);
  EXPECT_EQ(U32(file, 14), 40u);
  EXPECT_EQ(static_cast<int>(U32(file, 18)), w);
  EXPECT_EQ(static_cast<int>(U32(file, 22)), h);  // positive: bottom-up
  EXPECT_EQ(check.layout.bitsPerPixel, depth);
  EXPECT_EQ(check.layout.compression, 0u);
  EXPECT_EQ(file.size(), 54 + core::BmpStride(w, depth) * h);
  int mismatches = 0;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = file.data() + 54 + check.layout.stride * (h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = row + x * (depth / 8);
      const COLORREF got = RGB(p[2], p[1], p[0]);
      if (got != expected(x, y) && ++mismatches <= 5) {
        ADD_FAILURE() << "pixel " << x << "," << y << ": got " << std::hex << got << ", want " << expected(x, y);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// One pattern window for the whole program, painted anew for each test.
class CaptureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { shared_ = std::make_unique<PatternWindow>(); }
  static void TearDownTestSuite() { shared_.reset(); }
  void SetUp() override {
    window.onTimer = nullptr;
    window.posted = 0;
    window.printable = true;
    window.SetPhase(0);
    fixture::PointerTo({1900, 1060});  // away from the window until a test wants it there
    ASSERT_TRUE(fixture::PollUntil([&] { return window.PhaseOnScreen(); }, kWaitMs))
        << "pattern window not on screen";
  }
  void TearDown() override {
    if (::GetKeyState(VK_SHIFT) & 0x8000) fixture::Key(VK_SHIFT, false);
    ::KillTimer(window.hwnd(), 1);
    fixture::PollUntil([] { return !(::GetKeyState(VK_SHIFT) & 0x8000); }, 1000);
  }

  static inline std::unique_ptr<PatternWindow> shared_;
  PatternWindow& window = *shared_;
  TempFolder folder;
  TovEngineHost host;  // the tool window's waits, which dispatch messages
};

TEST_F(CaptureTest, WritesTheScreenPixelsAsABottomUpBitmap) {
  struct Case { int left, top, right, bottom; };  // window coordinates
  const Case cases[] = {{0, 0, kWidth, kHeight}, {5, 7, 18, 16}, {10, 10, 11, 11}, {63, 1, 64, 48}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top));
    const std::wstring path = folder.File(L"shot.tmp.bmp");
    ASSERT_TRUE(fixture::WriteFileBytes(path, Bytes(300000, 0xAB)));  // an older, larger snapshot is replaced
    CaptureScreenRect({kLeft + c.left, kTop + c.top, kLeft + c.right, kTop + c.bottom}, path, false);
    ExpectBitmap(path, c.right - c.left, c.bottom - c.top,
                 [&](int x, int y) { return Pattern(c.left + x, c.top + y, 0); });
    EXPECT_EQ(folder.FileNames().size(), 1u) << "a temporary file was left behind";
  }
}

TEST_F(CaptureTest, DrawsTheCursorAtItsHotSpotClippedByTheImage) {
  fixture::PointerTo({kLeft + 30, kTop + 25});
  CURSORINFO info{};
  ASSERT_TRUE(fixture::PollUntil([&] {
    info = CURSORINFO{};
    info.cbSize = sizeof info;
    return ::GetCursorInfo(&info) && info.flags == CURSOR_SHOWING && info.hCursor == window.cursor();
  }, kWaitMs)) << "the test cursor is not showing over the window";
  // The cursor's box in window coordinates.
  const int boxLeft = info.ptScreenPos.x - kHotX - kLeft, boxTop = info.ptScreenPos.y - kHotY - kTop;

  struct Case { const char* what; int left, top, right, bottom; bool draw; };
  const Case cases[] = {
    {"whole window", 0, 0, kWidth, kHeight, true},
    {"cursor cut by the right and bottom edges", 40, 30, 60, 45, true},
    {"cursor cut by the left and top edges", 27, 20, 64, 48, true},
    {"cursor outside", 0, 0, 20, 15, true},
    {"flag off", 0, 0, kWidth, kHeight, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring path = folder.File(L"cursor.bmp");
    CaptureScreenRect({kLeft + c.left, kTop + c.top, kLeft + c.right, kTop + c.bottom}, path, c.draw);
    ExpectBitmap(path, c.right - c.left, c.bottom - c.top, [&](int x, int y) {
      const int wx = c.left + x, wy = c.top + y;
      const bool underCursor =
          wx >= boxLeft && wx < boxLeft + kCursorSize && wy >= boxTop && wy < boxTop + kCursorSize;
      return c.draw && underCursor ? RGB(0, 0, 0) : Pattern(wx, wy, 0);
    });
  }
}

TEST_F(CaptureTest, AHiddenCursorIsNotDrawn) {
  fixture::PointerTo({kLeft + 30, kTop + 25});
  ASSERT_TRUE(fixture::PollUntil([&] {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    return ::GetCursorInfo(&info) && info.flags == CURSOR_SHOWING && info.hCursor == window.cursor();
  }, kWaitMs));
  ::ShowCursor(FALSE);
  CURSORINFO info{};
  info.cbSize = sizeof info;
  const bool hidden = ::GetCursorInfo(&info) && info.flags == 0;
  const std::wstring path = folder.File(L"hidden.bmp");
  CaptureScreenRect({kLeft, kTop, kLeft + kWidth, kTop + kHeight}, path, true);
  ::ShowCursor(TRUE);
  ASSERT_TRUE(hidden) << "the cursor did not report itself hidden";
  ExpectBitmap(path, kWidth, kHeight, [](int x, int y) { return Pattern(x, y, 0); });
}

TEST_F(CaptureTest, EmptyRectangleWritesAnEmptyFile) {
  const core::Rect cases[] = {
    {kLeft, kTop, kLeft, kTop + 20}, {kLeft, kTop, kLeft + 20, kTop}, {kLeft + 20, kTop, kLeft, kTop + 20}};
  for (const core::Rect& r : cases) {
    const std::wstring path = folder.File(L"empty.bmp");
    ASSERT_TRUE(fixture::WriteFileBytes(path, Bytes(1000, 1)));
    CaptureScreenRect(r, path, true);
    ASSERT_TRUE(fixture::FileExists(path));
    EXPECT_TRUE(fixture::ReadFileBytes(path).empty()) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST_F(CaptureTest, WaitsWhileShiftIsHeldAndKeepsDispatching) {
  ::SetForegroundWindow(window.hwnd());
  fixture::Key(VK_SHIFT, true);
  ASSERT_TRUE(fixture::PollUntil([] { return (::GetKeyState(VK_SHIFT) & 0x8000) != 0; }, kWaitMs))
      << "Shift did not go down";

  // While the capture waits: a posted message and timer ticks are handled; the window changes its picture,
  // and Shift is released once the new picture is on the screen.
  int ticks = 0;
  bool released = false;
  window.onTimer = [&] {
    ++ticks;
    if (ticks == 3) window.SetPhase(1);
    if (ticks > 3 && !released && window.PhaseOnScreen()) {
      released = true;
      fixture::Key(VK_SHIFT, false);
    }
  };
  ::PostMessageW(window.hwnd(), kPosted, 0, 0);
  ::SetTimer(window.hwnd(), 1, 20, nullptr);
  const std::wstring path = folder.File(L"delayed.bmp");
  CaptureScreenRect({kLeft, kTop, kLeft + kWidth, kTop + kHeight}, path, false);

  EXPECT_TRUE(released);
  EXPECT_GE(ticks, 4);
  EXPECT_EQ(window.posted, 1);
  EXPECT_FALSE(::GetKeyState(VK_SHIFT) & 0x8000);
  // Only the picture drawn during the wait can be in the file.
  ExpectBitmap(path, kWidth, kHeight, [](int x, int y) { return Pattern(x, y, 1); });
}

TEST_F(CaptureTest, WithoutShiftTheWaitReturnsAtOnceAndDispatchesNothing) {
  ASSERT_FALSE(::GetKeyState(VK_SHIFT) & 0x8000);
  ::PostMessageW(window.hwnd(), kPosted, 0, 0);
  WaitWhileShiftDown();
  EXPECT_EQ(window.posted, 0);
  MSG msg;
  EXPECT_TRUE(::PeekMessageW(&msg, window.hwnd(), kPosted, kPosted, PM_REMOVE));
}

TEST_F(CaptureTest, AQuitRequestDuringTheWaitEndsItAndStaysQueued) {
  ::SetForegroundWindow(window.hwnd());
  fixture::Key(VK_SHIFT, true);
  ASSERT_TRUE(fixture::PollUntil([] { return (::GetKeyState(VK_SHIFT) & 0x8000) != 0; }, kWaitMs))
      << "Shift did not go down";
  ::PostQuitMessage(7);
  WaitWhileShiftDown();  // returns although Shift is still down
  MSG msg;
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(CaptureTest, AFailedWriteRaisesAnErrorAndLeavesNoFile) {
  const core::Rect r{kLeft, kTop, kLeft + 10, kTop + 10};
  // A folder that does not exist: nothing can be created there.
  const std::wstring missing = folder.File(L"\u00e9t\u00e9 missing\\shot.bmp");
  try {
    CaptureScreenRect(r, missing, false);
    ADD_FAILURE() << "no error raised";
  } catch (const base::Win32Error& e) {
    EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_NE(e.Message().find(missing), std::wstring::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("\xC3\xA9t\xC3\xA9 missing"), std::string::npos) << e.what();  // UTF-8
  }
  EXPECT_FALSE(fixture::FileExists(missing));

  // Rectangles whose bitmap the format cannot hold are refused before any memory is taken for them.
  for (const core::Rect& huge : {core::Rect{0, 0, 70000, 10}, core::Rect{-20000, -20000, 20000, 20000}}) {
    const std::wstring path = folder.File(L"huge.bmp");
    try {
      CaptureScreenRect(huge, path, false);
      ADD_FAILURE() << "no error raised for " << huge.right - huge.left << "x" << huge.bottom - huge.top;
    } catch (const base::Win32Error& e) {
      EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_ARITHMETIC_OVERFLOW));
    }
    EXPECT_FALSE(fixture::FileExists(path));
  }

  // A target held open without sharing cannot be replaced: the old content stays, no temporary file remains.
  const std::wstring locked = folder.File(L"locked.bmp");
  ASSERT_TRUE(fixture::WriteFileBytes(locked, Bytes{1, 2, 3}));
  {
    const base::UniqueFile hold(
        ::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(hold);
    EXPECT_THROW(CaptureScreenRect(r, locked, false), base::Win32Error);
  }
  EXPECT_EQ(fixture::ReadFileBytes(locked), "\x01\x02\x03");
  EXPECT_EQ(folder.FileNames().size(), 1u);
}

// A plain black window over the pattern window's lower right part, reaching beyond it.
class Cover {
 public:
  Cover() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"SnapCaptureTestCover";
    ::RegisterClassW(&wc);
    window_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName, L"cover", WS_POPUP | WS_VISIBLE,
                                kLeft + 30, kTop + 20, 60, 50, nullptr, nullptr, wc.hInstance, nullptr);
    ::UpdateWindow(window_);
  }
  ~Cover() {
    ::DestroyWindow(window_);
    ::UnregisterClassW(L"SnapCaptureTestCover", ::GetModuleHandleW(nullptr));
  }
  static bool Covers(int x, int y) { return x >= 30 && y >= 20; }  // window coordinates
  bool OnScreen() const { return fixture::ScreenPixel({kLeft + 40, kTop + 30}) == RGB(0, 0, 0); }

 private:
  HWND window_ = nullptr;
};

const FrameBoundsSource kNoFrameBounds = [](HWND) { return std::optional<core::Rect>(); };

// Covered, the window draws itself into the picture (cut to the frame bounds when given).
TEST_F(CaptureTest, ACoveredWindowIsDrawnByItselfWithinItsFrameBounds) {
  const Cover cover;
  ASSERT_TRUE(fixture::PollUntil([&] { return cover.OnScreen(); }, kWaitMs)) << "cover not on screen";
  ASSERT_TRUE(IsWindowCovered(window.hwnd(), {kLeft, kTop, kLeft + kWidth, kTop + kHeight}));

  const std::wstring path = folder.File(L"covered.bmp");
  EXPECT_FALSE(CaptureWindow(window.hwnd(), path, false, kNoFrameBounds).asShownInstead);
  ExpectBitmap(path, kWidth, kHeight, [](int x, int y) { return Pattern(x, y, 0); });

  const core::Rect frame{kLeft + 4, kTop + 3, kLeft + kWidth - 5, kTop + kHeight - 6};
  CaptureWindow(window.hwnd(), path, false, [&](HWND) { return std::optional(frame); });
  ExpectBitmap(path, frame.Width(), frame.Height(), [](int x, int y) { return Pattern(4 + x, 3 + y, 0); });

  // As shown, the cover is in the picture. One that draws nothing when asked is brought up for a moment, copied
  // from the screen and put back (Wine leaves the X server's stacking as raised: the screen is read first).
  CaptureWindow(window.hwnd(), path, false, kNoFrameBounds, WindowSnapWay::AsShown);
  ExpectBitmap(path, kWidth, kHeight,
               [](int x, int y) { return Cover::Covers(x, y) ? RGB(0, 0, 0) : Pattern(x, y, 0); });
  window.printable = false;
  const HWND above = ::GetWindow(window.hwnd(), GW_HWNDPREV);
  CaptureWindow(window.hwnd(), path, false, kNoFrameBounds);
  ExpectBitmap(path, kWidth, kHeight, [](int x, int y) { return Pattern(x, y, 0); });
  EXPECT_EQ(::GetWindow(window.hwnd(), GW_HWNDPREV), above);
}

// Uncovered, the picture is the screen's, also where the window's own drawing would differ; frame bounds cut it.
TEST_F(CaptureTest, AnUncoveredWindowIsCopiedFromTheScreenWithinItsFrameBounds) {
  ASSERT_FALSE(IsWindowCovered(window.hwnd(), {kLeft, kTop, kLeft + kWidth, kTop + kHeight}));
  {
    // Drawn on the screen only: the window would not draw this when asked.
    const gui::WindowDc dc = gui::WindowDc::Client(window.hwnd());
    const RECT mark{10, 10, 20, 20};
    ::FillRect(dc.dc(), &mark, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  const auto marked = [](int x, int y) { return x >= 10 && x < 20 && y >= 10 && y < 20; };
  ASSERT_TRUE(fixture::PollUntil(
      [] {
        return fixture::ScreenPixel({kLeft + 15, kTop + 15}) == RGB(255, 255, 255);
      },
      kWaitMs));

  const std::wstring path = folder.File(L"uncovered.bmp");
  CaptureWindow(window.hwnd(), path, false, kNoFrameBounds);
  ExpectBitmap(path, kWidth, kHeight,
               [&](int x, int y) { return marked(x, y) ? RGB(255, 255, 255) : Pattern(x, y, 0); });

  const core::Rect frame{kLeft + 8, kTop + 9, kLeft + 30, kTop + 40};
  CaptureWindow(window.hwnd(), path, false, [&](HWND) { return std::optional(frame); });
  ExpectBitmap(path, frame.Width(), frame.Height(),
               [&](int x, int y) { return marked(8 + x, 9 + y) ? RGB(255, 255, 255) : Pattern(8 + x, 9 + y, 0); });
  window.SetPhase(0);  // the mark goes
}

}  // namespace
