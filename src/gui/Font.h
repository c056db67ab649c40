#pragma once
// A font as a design names it: face and character height in pixels at 96 DPI, created for a window's real DPI.
#include <windows.h>

#include <string>

#include "gui/Handles.h"

namespace gui {

struct FontSpec {
  std::wstring face = L"Tahoma";
  int pixels = 11;
  bool bold = false;
  BYTE charset = DEFAULT_CHARSET;
  // Asks the font mapper for a fixed-pitch face, so that a missing face (Consolas under Wine) falls back to another
  // monospaced font instead of a proportional one.
  bool fixedPitch = false;
};

UniqueFont CreateFontForDpi(const FontSpec& spec, int dpi);

}  // namespace gui
