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
};

UniqueFont CreateFontForDpi(const FontSpec& spec, int dpi);

}  // namespace gui
