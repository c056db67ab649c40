#include "engine/ovWindowCapture.h"

#include <dwmapi.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "base/Handles.h"
#include "core/Bmp.h"
#include "engine/ovWorker.h"
#include "gui/Handles.h"
#include "engine/ovWindowItself.h"

namespace {

// Top-level windows looked at above the target; far more than a desktop holds, so only a broken chain is cut.
constexpr int kMaxWindowsAbove = 20000;
// The longest wait for a window to draw itself. PrintWindow sends it a message and waits for the answer without
// limit, so the call runs on a thread of its own that is left behind when the window does not answer in time.
constexpr DWORD kRenderTimeoutMs = 1500;

bool Intersect(const core::Rect& a, const core::Rect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

bool Contains(const core::Rect& outer, const core::Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

core::Rect WindowRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {r.left, r.top, r.right, r.bottom};
}

bool IsTopLevel(HWND window) { return window != ::GetDesktopWindow() && ::GetAncestor(window, GA_ROOT) == window; }

// A window the compositor keeps out of sight although it counts as visible (a suspended store app, a window on
// another virtual desktop).
bool IsCloaked(HWND window) {
  DWORD cloaked = 0;
  return SUCCEEDED(::DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) && cloaked != 0;
}

// One PrintWindow call, shared by the waiting thread and the thread that makes it: whichever lets go last frees it.
struct RenderJob {
  HWND window = nullptr;
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // top-down 0x00RRGGBB, filled when `printed`
  bool printed = false;
};

// The worker's part: PrintWindow into a bitmap of the window's size.
void Render(RenderJob& job) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = job.width;
  info.bmiHeader.biHeight = -job.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const gui::UniqueMemDc dc(::CreateCompatibleDC(nullptr));
  const gui::UniqueBitmap bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (dc && bitmap && bits) {
    const gui::SelectedObject selected(dc.get(), bitmap.get());
    if (::PrintWindow(job.window, dc.get(), PW_RENDERFULLCONTENT)) {
      ::GdiFlush();
      const auto* first = static_cast<const std::uint32_t*>(bits);
      job.pixels.assign(first, first + static_cast<std::size_t>(job.width) * job.height);
      job.printed = true;
    }
  }
}

// Waits for the worker until the deadline, answering messages that other threads send to this one's windows
// meanwhile (the window being rendered may be one of ours), and nothing else.
bool WaitForRender(HANDLE done) {
  const ULONGLONG deadline = ::GetTickCount64() + kRenderTimeoutMs;
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    const DWORD wait = ::MsgWaitForMultipleObjects(1, &done, FALSE, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE);
    if (wait == WAIT_OBJECT_0) return true;
    if (wait != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sent messages
  }
}

// The whole window as it draws itself, top-down 0x00RRGGBB; nothing when it did not within the bound.
std::optional<std::vector<std::uint32_t>> RenderWindow(HWND window, int width, int height) {
  auto job = std::make_shared<RenderJob>();
  job->window = window;
  job->width = width;
  job->height = height;
  const TovWorker worker = TovWorker::Start([job] { Render(*job); });
  if (!worker || !WaitForRender(worker.Thread()) || !job->printed) return std::nullopt;
  return std::move(job->pixels);
}

// The part of a window's own picture that `area` takes, unless it shows one colour only.
std::optional<WindowPicture> DrawnPicture(HWND window, const core::Rect& area) {
  const core::Rect whole = WindowRect(window);
  const std::int64_t width = std::int64_t{whole.right} - whole.left;
  const std::int64_t height = std::int64_t{whole.bottom} - whole.top;
  if (width <= 0 || height <= 0 || width > core::kBmpMaxDimension || height > core::kBmpMaxDimension) return {};
  if (!Contains(whole, area)) return {};
  const auto drawn = RenderWindow(window, static_cast<int>(width), static_cast<int>(height));
  if (!drawn) return {};

  WindowPicture picture{area, {}};
  picture.pixels.reserve(static_cast<std::size_t>(area.Width()) * area.Height());
  const std::uint32_t first =
      (*drawn)[static_cast<std::size_t>(area.top - whole.top) * width + (area.left - whole.left)];
  bool oneColour = true;
  for (int y = area.top; y < area.bottom; ++y) {
    const std::uint32_t* row =
        drawn->data() + static_cast<std::size_t>(y - whole.top) * width + (area.left - whole.left);
    for (int x = 0; x < area.Width(); ++x) {
      const std::uint32_t pixel = row[x] & 0xFFFFFF;
      oneColour = oneColour && pixel == (first & 0xFFFFFF);
      picture.pixels.push_back(pixel);
    }
  }
  if (oneColour) return {};
  return picture;
}

}  // namespace

std::optional<core::Rect> CompositorFrameBounds(HWND window) {
  RECT bounds{};
  if (FAILED(::DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof bounds))) return {};
  return core::Rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
}

core::Rect WindowSnapArea(HWND window, const FrameBoundsSource& frameBounds) {
  const core::Rect whole = WindowRect(window);
  if (!IsTopLevel(window) || !frameBounds) return whole;
  const std::optional<core::Rect> frame = frameBounds(window);
  // Bounds outside the window or empty would name some other part of the screen.
  if (!frame || frame->Width() <= 0 || frame->Height() <= 0 || !Contains(whole, *frame)) return whole;
  return *frame;
}

bool IsWindowCovered(HWND window, const core::Rect& area) {
  HWND above = ::GetWindow(window, GW_HWNDPREV);
  for (int seen = 0; above && seen < kMaxWindowsAbove; ++seen, above = ::GetWindow(above, GW_HWNDPREV)) {
    if (::IsWindowVisible(above) && !::IsIconic(above) && Intersect(WindowRect(above), area) && !IsCloaked(above)) {
      return true;
    }
  }
  return false;
}

CapturedImage CaptureWindowPixels(HWND window, bool drawCursor, const FrameBoundsSource& frameBounds,
                                  WindowSnapWay way) {
  WaitWhileShiftDown();
  const core::Rect area = WindowSnapArea(window, frameBounds);
  if (way == WindowSnapWay::AsShown || !IsTopLevel(window) || area.Width() <= 0 || area.Height() <= 0 ||
      !IsWindowCovered(window, area)) {
    return CaptureScreenPixels(area, drawCursor);
  }
  if (WindowThreadAnswers(window)) {
    if (const std::optional<WindowPicture> drawn = DrawnPicture(window, area)) {
      return CaptureScreenPixels(area, drawCursor, &*drawn);
    }
    if (std::optional<CapturedImage> raised = CaptureRaised(window, area, drawCursor)) return std::move(*raised);
  }
  CapturedImage image = CaptureScreenPixels(area, drawCursor);
  image.asShownInstead = true;
  return image;
}

CapturedImage CaptureWindow(HWND window, const std::wstring& path, bool drawCursor,
                            const FrameBoundsSource& frameBounds, WindowSnapWay way) {
  CapturedImage image = CaptureWindowPixels(window, drawCursor, frameBounds, way);
  WriteBmpFile(image, path);
  return image;
}
