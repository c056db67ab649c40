#pragma once
// The main window driven as a user does it, through the windows of its controls and the items of its menus: what a
// control shows (check mark, enabled state, text, slider position), typing, clicks and slides, and choosing a menu
// item by its captions (the window runs the item it is sent as a menu command).
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

class TovFrmMain;

namespace fixture {

bool Checked(HWND box);
bool Enabled(HWND control);
std::wstring TextOf(HWND window);
int Position(HWND trackBar);

// Replaces an edit box's text (the box reports the change as typing does).
void Type(HWND edit, const std::wstring& text);
// A button's or check box's click (BM_CLICK).
void Click(HWND button);
// The track bar's thumb dragged to `position` and let go.
void Slide(HWND trackBar, int position);

// The item reached by `path`, captions from the top of the menu ("pm": the main menu, "pmSet": the position sets),
// chosen as a menu command; an exception of its handler goes to the application's handler, as from a real menu.
// Fails the test when there is no such item.
void Choose(TovFrmMain& main, const std::vector<std::wstring>& path, const wchar_t* menu = L"pm");
// Whether the main menu's item at the end of `path` shows its check mark.
bool MenuChecked(const TovFrmMain& main, const std::vector<std::wstring>& path);
// The submenu of the main menu's item with that caption.
HMENU Submenu(TovFrmMain& main, const std::wstring& caption);
// Captions of a menu's items from index `first` on.
std::vector<std::wstring> MenuCaptions(HMENU menu, std::size_t first);

// What a user sees of the controls before the first pick, at any DPI: each one shown whole inside the client area,
// none covering another (the picker lies on its swatch), in reading order in their rows above the memo (the swatch
// spans the first two), the
// captions of the check boxes and buttons legible in full, and only the controls that need a target disabled.
void ExpectControlsLaidOut(const TovFrmMain& main);

}  // namespace fixture
