#pragma once
// The window snapshot: a window's rectangle captured from the screen, except that a top-level window which another
// window covers is asked to draw itself, so that the picture shows the window that was asked for. For a top-level
// window the rectangle is the frame the desktop compositor shows, without the invisible resize borders.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/Geometry.h"
#include "engine/ovWinSnap.h"

// Where a top-level window's visible frame lies on the screen, when something reports it.
using FrameBoundsSource = std::function<std::optional<core::Rect>(HWND)>;

// The desktop compositor's extended frame bounds of `window`; nothing without a compositor (Wine) or on failure.
std::optional<core::Rect> CompositorFrameBounds(HWND window);

// The rectangle a window snapshot takes: for a top-level window the frame bounds when they are reported and lie
// inside the window rectangle, otherwise the window rectangle.
core::Rect WindowSnapArea(HWND window, const FrameBoundsSource& frameBounds);

// Whether a visible top-level window above `window` in the Z order overlaps `area`.
bool IsWindowCovered(HWND window, const core::Rect& area);

// What a window snapshot shows of a covered window: the screen as it is (what covers the window, a menu opened
// meanwhile), or the window itself.
enum class WindowSnapWay { AsShown, Itself };

// Waits while Shift is held, then captures the window's snapshot area from the screen. With WindowSnapWay::Itself a
// top-level window that another window covers is rendered by PrintWindow into the picture; when that does not
// finish within a bound, fails, or gives a picture of one colour only (a window that does not draw when asked, or a
// window of another process under Wine), the window is brought up for a moment and copied from the screen
// (CaptureRaised). A window whose thread does not answer is only copied from the screen, and the image says so.
// Controls and the desktop window are copied from the screen. Throws as CaptureScreenPixels does.
CapturedImage CaptureWindowPixels(HWND window, bool drawCursor,
                                  const FrameBoundsSource& frameBounds = CompositorFrameBounds,
                                  WindowSnapWay way = WindowSnapWay::Itself);

// CaptureWindowPixels, then WriteBmpFile to `path`; the image, written.
CapturedImage CaptureWindow(HWND window, const std::wstring& path, bool drawCursor,
                            const FrameBoundsSource& frameBounds = CompositorFrameBounds,
                            WindowSnapWay way = WindowSnapWay::Itself);
