#include "inspect/ovSkimlet.h"

#include "gui/Application.h"

namespace {

HICON LoadResourceIcon(const wchar_t* name) {
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_ICON, 32, 32, LR_SHARED));
}

}  // namespace

bool TovSkimlet::Create(gui::Container& parent, const gui::DesignRect& bounds) {
  if (!gui::Image::Create(parent, bounds)) return false;
  HCURSOR cursor = ::LoadCursorW(::GetModuleHandleW(nullptr), L"CUR_GRAB");
  gui::Application::Instance().RegisterCursor(GrabCursor, cursor);
  SetIcon(LoadResourceIcon(L"Z_GRAB"));
  SetAutoSize(true);
  return true;
}

void TovSkimlet::Track() {}

void TovSkimlet::BeginGrab() {}

void TovSkimlet::EndGrab() {}

void TovSkimlet::DrawFrame(HWND) {}

LRESULT TovSkimlet::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return gui::Image::HandleMessage(message, wParam, lParam);
}
