#include "gui/Font.h"

#include "core/Layout.h"

namespace gui {

UniqueFont CreateFontForDpi(const FontSpec& spec, int dpi) {
  LOGFONTW font{};
  font.lfHeight = core::FontHeightForDpi(spec.pixels, dpi);
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = spec.charset;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = spec.fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(font.lfFaceName, spec.face.c_str(), LF_FACESIZE);
  return UniqueFont(::CreateFontIndirectW(&font));
}

}  // namespace gui
