#include "core/InfoText.h"

#include "core/ShownText.h"

namespace core {

namespace {

constexpr std::wstring_view kColorName = L"Color";

// Hexadecimal digits of value, upper case, zero-padded on the left to at least minDigits.
std::wstring HexUpper(uint32_t value, int minDigits) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring reversed;
  do {
    reversed += kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  while (static_cast<int>(reversed.size()) < minDigits) reversed += L'0';
  return std::wstring(reversed.rbegin(), reversed.rend());
}

std::wstring Dec(int32_t value) { return std::to_wstring(value); }

std::wstring HexAndDec(uint32_t value) {
  return L"0x" + HexUpper(value, 6) + L"(" + Dec(static_cast<int32_t>(value)) + L")";
}

}  // namespace

std::vector<std::wstring> BuildInfoLines(const TargetInfo& info) {
  std::vector<std::wstring> lines;
  lines.push_back(L"HWND =" + HexAndDec(info.handle));
  lines.push_back(L"ID   =" + HexAndDec(static_cast<uint32_t>(info.id)));
  if (!info.title.empty()) lines.push_back(L"Title=" + ShownText(info.title, kMemoTitleLength));
  if (!info.className.empty()) lines.push_back(L"Class=" + info.className);
  lines.push_back(L"Style=0x" + HexUpper(info.style, 6) + L" 0x" + HexUpper(info.exStyle, 6) + L"(EX)");
  if (!info.fontText.empty()) lines.push_back(L"Font =" + info.fontText);
  return lines;
}

int32_t Brightness(uint8_t red, uint8_t green, uint8_t blue) {
  // In thousandths, so that a half is exact and no floating-point rounding can move it.
  const int32_t sum = 299 * red + 587 * green + 114 * blue;
  int32_t whole = sum / 1000;
  const int32_t rest = sum % 1000;
  if (rest > 500 || (rest == 500 && whole % 2 != 0)) ++whole;
  return whole;
}

std::wstring FormatColorValue(uint32_t colorRef) {
  const auto red = static_cast<uint8_t>(colorRef & 0xFF);
  const auto green = static_cast<uint8_t>((colorRef >> 8) & 0xFF);
  const auto blue = static_cast<uint8_t>((colorRef >> 16) & 0xFF);
  return L"0x" + HexUpper(colorRef, 6) + L" #" + HexUpper(red, 2) + HexUpper(green, 2) + HexUpper(blue, 2) +
         L" RGB:" + Dec(red) + L"," + Dec(green) + L"," + Dec(blue) + L":" + Dec(Brightness(red, green, blue));
}

void SetColorLine(std::vector<std::wstring>& lines, uint32_t colorRef) {
  SetNamedLine(lines, kColorName, FormatColorValue(colorRef));
}

std::wstring FormatHistoryCaption(int32_t sequence, uint32_t handle, std::wstring_view title,
                                  std::wstring_view className) {
  return Dec(sequence) + L"~" + HexUpper(handle, 6) + L"~" + ShownText(title, kMenuTextLength) + L"~" +
         ShownText(className, kMenuTextLength);
}

}  // namespace core
