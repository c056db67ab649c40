#pragma once
// The window itself when it does not draw itself when asked: brought above what covers it for a moment, copied from
// the screen, and put back.
#include <windows.h>

#include <optional>

#include "core/Geometry.h"
#include "engine/ovWinSnap.h"

// Whether the window's thread answers a message within a quarter of a second (a window of this thread always does).
bool WindowThreadAnswers(HWND window);

// Raises the top-level `window` above every window that overlaps `area` without activating it (into the topmost band
// for that moment when a topmost window covers it), waits a bounded time until it has repainted, copies `area` from
// the screen and puts the window back: the same band, behind the same window, the foreground window unchanged. The
// window's thread is not waited for: each move is posted to it and watched for a bounded time. Nothing when the
// window did not come up in time (it is still put back). Throws as CaptureScreenPixels does.
std::optional<CapturedImage> CaptureRaised(HWND window, const core::Rect& area, bool drawCursor);
