// "snap": the screen, a region or a window captured as the tool window captures them, and encoded as PNG from the
// captured pixels by the core's encoder (no bitmap file in between). Nothing of ours is shown or hidden, and no viewer
// is opened.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Paths.h"
#include "console/Commands.h"
#include "core/Bmp.h"
#include "core/ConsoleFormat.h"
#include "core/PngEncoder.h"
#include "core/Unicode.h"
#include "engine/ovWinSnap.h"
#include "engine/ovWindowCapture.h"
#include "engine/ovWindowFacts.h"

namespace {

// The full path of a name relative to the current folder; the name itself when the system cannot make one.
std::wstring FullPath(const std::wstring& name) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return name;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    if (length > base::kMaxPathLength) return name;
    full.resize(length);
  }
}

bool PathTaken(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

core::Rect VirtualScreen() {
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

core::LocalTime Now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// The PNG of a captured image, straight from its rows; empty when the encoder refuses them.
std::vector<std::uint8_t> EncodeImage(const CapturedImage& image) {
  core::PngSource source;
  source.pixels = std::span(image.bmp).subspan(core::kBmpHeaderSize);
  source.width = static_cast<std::uint32_t>(image.width);
  source.height = static_cast<std::uint32_t>(image.height);
  source.stride = core::BmpStride(source.width, image.depth);
  source.bytesPerPixel = image.depth / 8;
  source.topDown = false;
  return core::EncodePng(source);
}

}  // namespace

int RunSnap(Console& console, const core::Command& command) {
  core::Rect area;
  HWND window = nullptr;
  if (command.screen) {
    area = VirtualScreen();
  } else if (command.region) {
    area = *command.region;
  } else {
    const std::vector<HWND> matches = MatchingWindows(command.criteria);
    if (matches.empty()) return console.Fail(core::kExitNoWindow, kNoWindowMessage);
    window = matches.front();
    area = WindowSnapArea(window, CompositorFrameBounds);
  }
  if (area.Width() <= 0 || area.Height() <= 0)
    return console.Fail(core::kExitActionFailed, L"nothing to snap: the area is empty");

  std::wstring path;
  if (command.outFile) {
    path = FullPath(*command.outFile);
    // The system names a device such as NUL or COM1 by a path of this form, wherever it was given.
    if (path.starts_with(L"\\\\.\\")) {
      return console.Fail(core::kExitBadUsage,
                          L"--out: \"" + *command.outFile + L"\" is a device, which cannot be written");
    }
  } else {
    const auto name =
        core::PickSnapshotFileName(Now(), command.bmp, [](const std::wstring& n) { return PathTaken(FullPath(n)); });
    if (!name) return console.Fail(core::kExitActionFailed, L"no free snapshot file name in the current folder");
    path = FullPath(*name);
  }

  try {
    CapturedImage image;
    if (window) {
      image = CaptureWindowPixels(window, command.cursor, CompositorFrameBounds,
                                  command.asShown ? WindowSnapWay::AsShown : WindowSnapWay::Itself);
      // What covers it is no picture of the window itself: nothing is written.
      if (image.asShownInstead) return console.Fail(core::kExitActionFailed, L"the window did not draw itself");
    } else {
      WaitWhileShiftDown();
      image = CaptureScreenPixels(area, command.cursor);
    }
    if (command.bmp) {
      WriteBmpFile(image, path);
    } else {
      const std::vector<std::uint8_t> png = EncodeImage(image);
      if (png.empty()) return console.Fail(core::kExitActionFailed, L"the snapshot could not be encoded as PNG");
      base::WriteFileAtomically(path, png);
    }
  } catch (const base::Win32Error& error) {
    return console.Fail(core::kExitActionFailed, error.Message());
  }
  console.out.WriteLine(path);
  return core::kExitDone;
}
