// The target-window helper's snapshot operations.
#include "engine/ovWinUtils.h"
#include "engine/ovWinSnap.h"
#include "engine/ovWindowCapture.h"

void TovWinUtils::SnapRect(const core::Rect& rect, const std::wstring& fileName) {
  CaptureScreenRect(rect, fileName, SnapCursor);
}

bool TovWinUtils::SnapWindow(const std::wstring& fileName) {
  const WindowSnapWay way = SnapItself ? WindowSnapWay::Itself : WindowSnapWay::AsShown;
  return !CaptureWindow(Wnd, fileName, SnapCursor, CompositorFrameBounds, way).asShownInstead;
}
