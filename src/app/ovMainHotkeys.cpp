// The global hotkeys of the main window, all with Ctrl+Alt+Shift: P picks the window under the pointer, T turns
// "on top" on or off for it, W takes its window snapshot and R a region snapshot. Registered once the window has
// painted; a combination that another program holds is named in one balloon with the system's reason.
#include <windows.h>

#include <string>

#include "app/ovMainForm.h"
#include "base/Error.h"
#include "engine/ovWinUtils.h"

namespace {

constexpr int kHotkeyPick = 1;
constexpr int kHotkeyTopmost = 2;
constexpr int kHotkeyWindowSnap = 3;
constexpr int kHotkeyRegionSnap = 4;
constexpr UINT kHotkeyModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT | MOD_NOREPEAT;

struct Hotkey {
  int id;
  UINT key;
  const wchar_t* name;
};

constexpr Hotkey kHotkeys[] = {
    {kHotkeyPick, 'P', L"Ctrl+Alt+Shift+P"},
    {kHotkeyTopmost, 'T', L"Ctrl+Alt+Shift+T"},
    {kHotkeyWindowSnap, 'W', L"Ctrl+Alt+Shift+W"},
    {kHotkeyRegionSnap, 'R', L"Ctrl+Alt+Shift+R"},
};

}  // namespace

void TovFrmMain::RegisterHotkeys() {
  std::wstring refused;
  for (const Hotkey& hotkey : kHotkeys) {
    if (::RegisterHotKey(Handle(), hotkey.id, kHotkeyModifiers, hotkey.key)) continue;
    const DWORD error = ::GetLastError();
    refused += std::wstring(hotkey.name) + L": " + base::SystemErrorText(error) + L" (" + std::to_wstring(error) +
               L")\r\n";
  }
  if (!refused.empty()) ti.ShowBalloon(refused, L"Hotkeys not available", NIIF_WARNING, 10000);
}

void TovFrmMain::UnregisterHotkeys() {
  for (const Hotkey& hotkey : kHotkeys) ::UnregisterHotKey(Handle(), hotkey.id);
}

void TovFrmMain::miHotkeysClick() {
  if (miHotkeys->Checked()) {
    RegisterHotkeys();
  } else {
    UnregisterHotkeys();
  }
}

// The window under the pointer becomes the target as at the end of a drag there: the panel, the swatch and the
// "Color" line, and the history. Never one of ours. False when there is nothing to pick.
bool TovFrmMain::PickUnderPointer(bool topLevel) {
  POINT point{};
  if (!::GetCursorPos(&point)) return false;
  HWND window = WindowUnderPoint(point);
  if (!window || ::GetAncestor(window, GA_ROOT) == Handle()) return false;
  if (topLevel) window = TopmostAncestor(window);
  if (const HDC screen = ::GetDC(nullptr)) {
    const COLORREF color = ::GetPixel(screen, point.x, point.y);
    ::ReleaseDC(nullptr, screen);
    if (color != CLR_INVALID) pnl.SetColor(color);
  }
  ShowInfo(window);
  grabDone();
  AddHistory();
  return true;
}

void TovFrmMain::HotkeyPressed(int id) {
  if (grab.Grabbing) return;  // a drag is under way: the hand on the mouse decides
  switch (id) {
    case kHotkeyPick:
      PickUnderPointer(false);
      break;
    case kHotkeyTopmost:
      if (PickUnderPointer(true) && cbTopmost.Enabled()) cbTopmost.SetChecked(!cbTopmost.Checked());
      break;
    case kHotkeyWindowSnap:
      if (PickUnderPointer(true)) bSnapWinClick();
      break;
    case kHotkeyRegionSnap:
      bSnapRegClick();
      break;
    default:
      break;
  }
}
