#include "app/ovSkimlet.h"

#include "app/ovApp.h"
#include "engine/ovWinUtils.h"
#include "gui/Application.h"
#include "gui/Form.h"

namespace {

constexpr int kFrameThickness = 3;
constexpr int kIconSize = 32;

}  // namespace

TovSkimlet::~TovSkimlet() {
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
  if (!Grabbing) return;
  POINT point{};
  if (!::GetCursorPos(&point)) return;
  const RECT form{FormRect.left, FormRect.top, FormRect.right, FormRect.bottom};
  // The program's own window is never sampled nor picked.
  if (::PtInRect(&form, point)) return;

  // A pixel that cannot be read (CLR_INVALID) leaves the swatch as it was rather than showing a made-up colour.
  const COLORREF color = ScreenDC ? ::GetPixel(ScreenDC.dc(), point.x, point.y) : CLR_INVALID;
  if (color != CLR_INVALID) SetSwatch(color);

  GrabWnd = WindowUnderPoint(point);
  if (GrabWnd == FramedWnd) return;

  DrawFrame(FramedWnd);
  DrawFrame(GrabWnd);
  FramedWnd = GrabWnd;
  if (OnGrab) OnGrab();
}

void TovSkimlet::BeginGrab() {
  if (Grabbing) return;
  Grabbing = true;
  FramedWnd = nullptr;
  GrabWnd = nullptr;
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
  ScreenDC.reset();
  if (OnDone) OnDone();
}

void TovSkimlet::DrawFrame(HWND window) {
  if (!window) return;
  RECT r{};
  if (!::GetWindowRect(window, &r) || ::IsRectEmpty(&r)) return;
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
    case WM_LBUTTONUP: {
      const LRESULT result = gui::Image::HandleMessage(message, wParam, lParam);
      EndGrab();
      return result;
    }
    default:
      return gui::Image::HandleMessage(message, wParam, lParam);
  }
}
