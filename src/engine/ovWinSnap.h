#pragma once
// Capture primitives of the snapshot commands: wait while Shift is held, copy a screen rectangle into a
// bitmap file (optionally with the mouse cursor drawn in), and have the conversion library beside the
// executable turn that file into a PNG.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Geometry.h"

// The conversion library's one export: BOOLEAN WINAPI ConvertBMP2PNG(const wchar_t* bmpPath, const wchar_t* pngPath),
// true when the PNG was written.
inline constexpr char kConvertExportName[] = "ConvertBMP2PNG";

// Returns at once when Shift is up; while it is down, waits 10 ms at a time through the program's waiter (ovHost.h:
// the tool window dispatches its messages meanwhile, no idle work), so the user can prepare the screen and the
// capture happens on release. A program that is ending stops waiting.
void WaitWhileShiftDown();

// Lets the windows that ours covered until now repaint before the screen is read: gives other programs 10 ms through
// the program's waiter (the tool window dispatches its pending messages before, during and after).
void LetCoveredWindowsRepaint();

// A captured picture held as its bitmap file: the 54 header bytes, then the rows bottom-up at `depth` bits a pixel
// (32 on a true-colour display; 24 on lower depths), each padded to four bytes. An empty picture holds no bytes.
struct CapturedImage {
  int width = 0;
  int height = 0;
  std::uint32_t depth = 32;
  std::vector<std::uint8_t> bmp;
  bool asShownInstead = false;  // the window itself was asked for, but the screen as it is was all there was to copy

  bool empty() const { return bmp.empty(); }
};

// What a window drew of itself, laid over the screen copy: top-down rows of 0x00RRGGBB covering `area` (screen
// coordinates, inside the captured rectangle).
struct WindowPicture {
  core::Rect area;
  std::vector<std::uint32_t> pixels;
};

// Copies `rect` of the screen (left <= right, top <= bottom) at once, lays `over` on it when given, and draws the
// cursor in. An empty rectangle gives an empty image. Throws base::Win32Error when the rectangle is too large for a
// bitmap file (ERROR_ARITHMETIC_OVERFLOW) or the pixels cannot be read (ERROR_NOT_ENOUGH_MEMORY).
CapturedImage CaptureScreenPixels(const core::Rect& rect, bool drawCursor, const WindowPicture* over = nullptr);

// Writes the image to `path` (an empty image as a file of zero bytes), replacing a file there in one step. Throws
// base::Win32Error when the file cannot be written; nothing is left under `path` then.
void WriteBmpFile(const CapturedImage& image, const std::wstring& path);

// Waits while Shift is held, then CaptureScreenPixels and WriteBmpFile.
void CaptureScreenRect(const core::Rect& rect, const std::wstring& path, bool drawCursor);

// Draws the showing mouse cursor into `image`, a device context whose (0, 0) is the screen point
// (originX, originY). A hidden or suppressed cursor is not drawn; the image's edges clip it.
void DrawCursorOnImage(HDC image, int originX, int originY);

// How long a snapshot waits for the conversion library. The product's library converts a 1920 x 1080 desktop in
// about 0.6 s on a slow machine, so a desktop of three 4K screens takes some 7 s; 30 s leaves a wide margin, and the
// wait freezes nothing: the main window is back on screen and its messages are handled meanwhile.
inline constexpr std::chrono::milliseconds kConvertTimeLimit{30000};

// Converts the bitmap to a PNG beside it (the extension replaced by ".png") through the library named like
// `exeName` with the extension ".dll". Returns the PNG path on success, otherwise `bmpPath`: no library, no
// export, a false result, any exception out of the library (its DllMain included), or no answer within
// `timeLimit`. The library is loaded and called on a worker thread with a stack of its own while this thread waits
// through the program's waiter (the tool window dispatches its messages meanwhile). A worker that does not answer in time is left running, and the library is not called
// again until it has returned.
std::wstring ConvertToPng(const std::wstring& bmpPath, const std::wstring& exeName,
                          std::chrono::milliseconds timeLimit = kConvertTimeLimit);

// True while a conversion that was given up on is still inside its library. The process then cannot end in the
// ordinary way: a library stuck in its DllMain holds the loader lock, which the ordinary exit waits for.
bool ConversionStillRunning();
