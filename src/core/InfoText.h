#pragma once
// The texts of the information panel: the memo's name=value lines, the colour line and the history caption.
// Numbers follow one convention: hexadecimal in upper case with at least six (or two) digits of the unsigned
// 32-bit value, decimals signed 32-bit.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/NamedLines.h"

namespace core {

// What the memo shows of a target, as read when it became the target.
struct TargetInfo {
  uint32_t handle = 0;  // the window handle's low 32 bits, which are all a handle carries
  int32_t id = 0;
  std::wstring title;
  std::wstring className;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  std::wstring fontText;
};

// "HWND ", "ID   ", "Title", "Class", "Style", "Font " lines in this order; Title, Class and Font only when their
// text is not empty. A long title is cut (core::ShownText, kMemoTitleLength).
std::vector<std::wstring> BuildInfoLines(const TargetInfo& info);

// Brightness 0.299 R + 0.587 G + 0.114 B, rounded to the nearest integer with halves to the even neighbour.
int32_t Brightness(uint8_t red, uint8_t green, uint8_t blue);

// The value of the "Color" line for a colour as GetPixel gives it (red in the low byte, blue in the third):
// "0x%.6x #%.2x%.2x%.2x RGB:%d,%d,%d:%d" with the raw value, the web form, the components and the brightness.
std::wstring FormatColorValue(uint32_t colorRef);

// Sets or replaces the "Color" line (in place when present, else at the end).
void SetColorLine(std::vector<std::wstring>& lines, uint32_t colorRef);

// A history entry's caption: "%d~%.6x~%s~%s" from the sequence number, the handle, the title and the class; a long
// title or class is cut (core::ShownText, kMenuTextLength), so that the menu stays usable.
std::wstring FormatHistoryCaption(int32_t sequence, uint32_t handle, std::wstring_view title,
                                  std::wstring_view className);

}  // namespace core
