#pragma once
// A plain one-colour form under what a test reads back from the screen, and whether the region overlay is up: shared
// by the tests of the overlay and of the snapshot commands.
#include <windows.h>

#include <cstdint>

#include "gui/Form.h"

namespace fixture {

// The backdrop's colour as a COLORREF, and as the screen copies (ScreenPixels, BmpPixel) read it: 0x00RRGGBB.
inline constexpr COLORREF kBackdrop = RGB(0x30, 0x90, 0x50);
inline constexpr std::uint32_t kBackdropPixel = 0x309050;

// A borderless form of that class at the screen's origin, `client` in size and filled with kBackdrop.
gui::FormDesign BackdropDesign(const wchar_t* className, core::DesignSize client, bool topmost);

// Whether the program's region overlay exists and is shown.
bool OverlayUp();

}  // namespace fixture
