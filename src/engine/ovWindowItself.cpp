#include "engine/ovWindowItself.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr UINT kAnswerTimeoutMs = 250;
// How long the window gets to come up and to repaint, and to go back.
constexpr ULONGLONG kRaiseTimeoutMs = 3000;
constexpr ULONGLONG kRepaintTimeoutMs = 1000;
// Copies of the screen taken at most, this far apart, until two agree.
constexpr int kMaxCopies = 5;
constexpr ULONGLONG kCopyIntervalMs = 20;
// Windows looked at above the target; only a broken chain is cut.
constexpr int kMaxWindowsAbove = 20000;
// A posted move: the window's thread does it when it next reads its messages, and ours does not wait for it.
constexpr UINT kMoveFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS;

bool Topmost(HWND window) { return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool Overlaps(HWND window, const core::Rect& area) {
  RECT r{};
  if (!::GetWindowRect(window, &r)) return false;
  return std::max<LONG>(r.left, area.left) < std::min<LONG>(r.right, area.right) &&
         std::max<LONG>(r.top, area.top) < std::min<LONG>(r.bottom, area.bottom);
}

// The shown windows above `window` that overlap `area`, nearest first.
std::vector<HWND> Coverers(HWND window, const core::Rect& area) {
  std::vector<HWND> above;
  HWND next = ::GetWindow(window, GW_HWNDPREV);
  for (int seen = 0; next && seen < kMaxWindowsAbove; ++seen, next = ::GetWindow(next, GW_HWNDPREV)) {
    if (::IsWindowVisible(next) && !::IsIconic(next) && Overlaps(next, area)) above.push_back(next);
  }
  return above;
}

// Polls until `done` holds or the time is up, dispatching this thread's sent messages meanwhile (the window may be
// one of ours) and sleeping a little between looks.
template <typename Done>
bool PollFor(ULONGLONG timeoutMs, Done done) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (::GetTickCount64() >= deadline) return false;
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
  }
}

// Puts the window back behind `behind` (nothing: at the top of its band) and into the topmost band or out of it.
void PutBack(HWND window, HWND behind, bool wasTopmost) {
  if (Topmost(window) != wasTopmost) {
    ::SetWindowPos(window, wasTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kMoveFlags);
    PollFor(kRaiseTimeoutMs, [&] { return Topmost(window) == wasTopmost; });
  }
  // Behind a window of the other band, it was the first of its own band: where the band change put it already.
  if (!behind || !::IsWindow(behind) || Topmost(behind) != wasTopmost) return;
  if (::GetWindow(window, GW_HWNDPREV) == behind) return;
  ::SetWindowPos(window, behind, 0, 0, 0, 0, kMoveFlags);
  PollFor(kRaiseTimeoutMs, [&] { return ::GetWindow(window, GW_HWNDPREV) == behind; });
}

}  // namespace

bool WindowThreadAnswers(HWND window) {
  if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) return true;
  DWORD_PTR ignored = 0;
  return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs, &ignored) != 0;
}

std::optional<CapturedImage> CaptureRaised(HWND window, const core::Rect& area, bool drawCursor) {
  const std::vector<HWND> coverers = Coverers(window, area);
  if (coverers.empty()) return CaptureScreenPixels(area, drawCursor);
  const HWND behind = ::GetWindow(window, GW_HWNDPREV);
  const HWND foreground = ::GetForegroundWindow();
  const bool wasTopmost = Topmost(window);
  const bool topmostCover = !wasTopmost && std::any_of(coverers.begin(), coverers.end(), Topmost);

  ::SetWindowPos(window, topmostCover ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, kMoveFlags);
  std::optional<CapturedImage> image;
  try {
    const bool up = PollFor(kRaiseTimeoutMs, [&] { return Coverers(window, area).empty(); });
    if (up) {
      // Uncovered parts are repainted by the window's thread: once it has no update region left and has answered
      // a message after that, the picture is on the screen.
      ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      PollFor(kRepaintTimeoutMs, [&] { return !::GetUpdateRect(window, nullptr, FALSE); });
      WindowThreadAnswers(window);
      // The repainted pixels may reach the screen a moment later: copies are taken until two in a row agree.
      image = CaptureScreenPixels(area, drawCursor);
      for (int copy = 0; copy < kMaxCopies; ++copy) {
        PollFor(kCopyIntervalMs, [] { return false; });
        CapturedImage again = CaptureScreenPixels(area, drawCursor);
        if (again.bmp == image->bmp) break;
        image = std::move(again);
      }
    }
  } catch (...) {
    PutBack(window, behind, wasTopmost);
    throw;
  }
  PutBack(window, behind, wasTopmost);
  if (foreground && ::GetForegroundWindow() != foreground) ::SetForegroundWindow(foreground);
  return image;
}
