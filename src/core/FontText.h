#pragma once
// One-line description of a font, as the information panel shows it: "Tahoma, 9.5pt Bold Italic".
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// face: the LOGFONT face name (cut at its first NUL, at most 32 characters are used).
// lfHeight: negative for a character height in pixels; a positive cell height is described by its magnitude,
// which is the closest size the record offers (the internal leading is not known here).
// ppi: logical pixels per inch of the screen the program runs at (a value below 1 counts as 96).
// The size is printed in points with one decimal only for an odd number of half points.
std::wstring FontDescription(std::wstring_view face, int32_t lfHeight, int32_t weight, bool italic, bool underline,
                             bool strikeOut, int ppi, wchar_t decimalSeparator);

}  // namespace core
