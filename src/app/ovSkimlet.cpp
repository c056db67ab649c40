#include "app/ovSkimlet.h"

#include "app/ovApp.h"
#include "engine/ovWinUtils.h"
#include "gui/Application.h"
#include "gui/Form.h"

namespace {

constexpr int kFrameThickness = 3;
constexpr int kIconSize = 32;
// While elements are picked, the answers of the element thread are collected this often even when no input comes.
constexpr UINT kElementPollMs = 20;
constexpr UINT_PTR kElementTimer = 1;

bool SamePoint(const std::optional<POINT>& a, POINT b) { return a && a->x == b.x && a->y == b.y; }

}  // namespace

TovSkimlet::~TovSkimlet() {
  if (framedElement_) DrawFrame(*framedElement_);
  if (!Grabbing) return;
  DrawFrame(FramedWnd);
  gui::Application::Instance().SetCursorIndex(0);
}

bool TovSkimlet::Create(gui::Container& parent, const core::DesignRect& bounds) {
  if (!gui::Image::Create(parent, bounds)) return false;
  HCURSOR cursor = ::LoadCursorW(::GetModuleHandleW(nullptr), L"CUR_GRAB");
  gui::Application::Instance().RegisterCursor(GrabCursor, cursor);
  SetIcon(ExecutableIcon(L"Z_GRAB", kIconSize));
  SetAutoSize(true);
  return true;
}

void TovSkimlet::SetSwatch(COLORREF color) {
  if (auto* swatch = dynamic_cast<gui::Panel*>(Parent())) swatch->SetColor(color);
}

void TovSkimlet::Track() {
  if (!Grabbing) {
    FinishElement();
    return;
  }
  POINT point{};
  if (!::GetCursorPos(&point)) return;
  const RECT form{FormRect.left, FormRect.top, FormRect.right, FormRect.bottom};
  // The program's own window is never sampled nor picked.
  if (::PtInRect(&form, point)) return;

  // A pixel that cannot be read (CLR_INVALID) leaves the swatch as it was rather than showing a made-up colour.
  const COLORREF color = ScreenDC ? ::GetPixel(ScreenDC.dc(), point.x, point.y) : CLR_INVALID;
  if (color != CLR_INVALID) SetSwatch(color);

  GrabWnd = WindowUnderPoint(point);
  if (TrackElement(point)) return;
  if (GrabWnd == FramedWnd) return;

  DrawFrame(FramedWnd);
  DrawFrame(GrabWnd);
  FramedWnd = GrabWnd;
  if (OnGrab) OnGrab();
}

bool TovSkimlet::TrackElement(POINT point) {
  // The thread's key state follows the key messages this thread took (the picker's window has the focus during a
  // drag); the asynchronous state covers a press made while another window had it.
  const bool elements = ((::GetKeyState(VK_CONTROL) | ::GetAsyncKeyState(VK_CONTROL)) & 0x8000) != 0;
  if (!elements) {
    if (ElementPick) {
      // Back to windows: the element frame goes, and the window under the pointer is framed and told anew.
      FrameElement(std::nullopt);
      ElementProbe.Reset();
      requested_.reset();
      SetElementTimer(false);
      ElementPick = false;
    }
    return false;
  }
  if (!ElementPick) {
    DrawFrame(FramedWnd);
    FramedWnd = nullptr;
    announced_ = nullptr;
    ElementPick = true;
    SetElementTimer(true);
  }
  if (!SamePoint(requested_, point)) {
    requested_ = point;
    ElementProbe.Request(point);
  }
  if (ElementProbe.Poll()) {
    const TovElementRead& read = ElementProbe.Latest();
    const core::Rect& b = read.element.bounds;
    FrameElement(read.status == TovElementStatus::Found ? std::optional<RECT>(RECT{b.left, b.top, b.right, b.bottom})
                                                        : std::nullopt);
  }
  if (GrabWnd != announced_) {
    announced_ = GrabWnd;
    if (OnGrab) OnGrab();
  }
  return true;
}

void TovSkimlet::FrameElement(const std::optional<RECT>& r) {
  if (framedElement_) DrawFrame(*framedElement_);
  framedElement_ = r;
  if (framedElement_) DrawFrame(*framedElement_);
}

void TovSkimlet::FinishElement() {
  if (!elementPending_) return;
  ElementProbe.Poll();
  if (ElementProbe.Busy()) return;
  elementPending_ = false;
  SetElementTimer(false);
  if (OnElement) OnElement();
}

void TovSkimlet::SetElementTimer(bool on) {
  if (on == elementTimer_ || !Handle()) return;
  elementTimer_ = on;
  if (on) {
    ::SetTimer(Handle(), kElementTimer, kElementPollMs, nullptr);
  } else {
    ::KillTimer(Handle(), kElementTimer);
  }
}

void TovSkimlet::BeginGrab() {
  if (Grabbing) return;
  Grabbing = true;
  FramedWnd = nullptr;
  GrabWnd = nullptr;
  ElementPick = false;
  elementPending_ = false;
  SetElementTimer(false);
  requested_.reset();
  ElementProbe.Reset();
  SetIcon(ExecutableIcon(L"Z_NONE", kIconSize));
  gui::Application::Instance().SetCursorIndex(GrabCursor);
  if (!HostForm) HostForm = OwnerForm();
  RECT bounds{};
  if (HostForm && ::GetWindowRect(HostForm->Handle(), &bounds)) {
    FormRect = {bounds.left, bounds.top, bounds.right, bounds.bottom};
  }
  ScreenDC = gui::WindowDc::Client();
}

void TovSkimlet::EndGrab() {
  if (!Grabbing) return;
  Grabbing = false;
  SetIcon(ExecutableIcon(L"Z_GRAB", kIconSize));
  gui::Application::Instance().SetCursorIndex(0);
  DrawFrame(FramedWnd);
  FrameElement(std::nullopt);
  ScreenDC.reset();
  if (OnDone) OnDone();
  if (ElementPick) {
    elementPending_ = true;
    FinishElement();
  }
}

void TovSkimlet::DrawFrame(HWND window) {
  if (!window) return;
  RECT r{};
  if (!::GetWindowRect(window, &r)) return;
  DrawFrame(r);
}

void TovSkimlet::DrawFrame(const RECT& r) {
  if (::IsRectEmpty(&r)) return;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const gui::WindowDc screen = gui::WindowDc::Whole();
  if (!screen) return;
  const HDC dc = screen.dc();
  constexpr int t = kFrameThickness;
  ::PatBlt(dc, r.left, r.top, w, t, DSTINVERT);
  ::PatBlt(dc, r.left, r.top + t, t, h - 2 * t, DSTINVERT);
  ::PatBlt(dc, r.left + w - t, r.top + t, t, h - 2 * t, DSTINVERT);
  ::PatBlt(dc, r.left, r.top + h - t, w, t, DSTINVERT);
}

LRESULT TovSkimlet::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      const LRESULT result = gui::Image::HandleMessage(message, wParam, lParam);
      BeginGrab();
      return result;
    }
    case WM_TIMER:
      if (wParam != kElementTimer) break;
      Track();
      return 0;
    case WM_LBUTTONUP: {
      const LRESULT result = gui::Image::HandleMessage(message, wParam, lParam);
      EndGrab();
      return result;
    }
    default:
      break;
  }
  return gui::Image::HandleMessage(message, wParam, lParam);
}
