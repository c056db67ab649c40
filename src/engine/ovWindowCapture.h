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

// Waits while Shift is held, then captures the window's snapshot area. A top-level window that another window covers
// is rendered by PrintWindow into the picture, unless it does not finish within a bound, fails, or gives a picture
// of one colour only (a window that does not draw when asked); the screen copy stays then, and the image says so
// (`undrawn`). Controls and the desktop window are copied from the screen. Throws as CaptureScreenPixels does.
CapturedImage CaptureWindowPixels(HWND window, bool drawCursor,
                                  const FrameBoundsSource& frameBounds = CompositorFrameBounds);

// CaptureWindowPixels, then WriteBmpFile to `path`. False when the picture is the screen copy of a covered window
// that did not draw itself.
bool CaptureWindow(HWND window, const std::wstring& path, bool drawCursor,
                   const FrameBoundsSource& frameBounds = CompositorFrameBounds);
