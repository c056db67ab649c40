// The target-window helper's snapshot operations.
#include "engine/ovWinUtils.h"
#include "engine/ovWinSnap.h"

void TovWinUtils::SnapRect(const core::Rect& rect, const std::wstring& fileName) {
  CaptureScreenRect(rect, fileName, SnapCursor);
}

void TovWinUtils::SnapWindow(const std::wstring& fileName) {
  RECT window{};
  ::GetWindowRect(Wnd, &window);
  SnapRect({window.left, window.top, window.right, window.bottom}, fileName);
}
