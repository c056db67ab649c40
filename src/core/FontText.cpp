#include "core/FontText.h"

#include <cstdlib>

namespace core {

namespace {
constexpr std::size_t kMaxFaceLength = 32;
constexpr int kDefaultPpi = 96;
constexpr int32_t kNormalWeight = 400;
}  // namespace

std::wstring FontDescription(std::wstring_view face, int32_t lfHeight, int32_t weight, bool italic, bool underline,
                             bool strikeOut, int ppi, wchar_t decimalSeparator) {
  const std::size_t nul = face.find(L'\0');
  if (nul != std::wstring_view::npos) face = face.substr(0, nul);
  if (face.size() > kMaxFaceLength) face = face.substr(0, kMaxFaceLength);

  if (ppi < 1) ppi = kDefaultPpi;
  // 64-bit so that extreme heights cannot overflow; a cell height (positive) is taken by magnitude.
  const int64_t height = std::llabs(static_cast<int64_t>(lfHeight));
  const int64_t halfPoints = height * 144 / ppi;

  std::wstring text(face);
  text += L", ";
  text += std::to_wstring(halfPoints / 2);
  if (halfPoints % 2 != 0) {
    text += decimalSeparator;
    text += L'5';
  }
  text += L"pt";
  if (weight > kNormalWeight) text += L" Bold";
  if (italic) text += L" Italic";
  if (underline) text += L" Underline";
  if (strikeOut) text += L" StrikeOut";
  return text;
}

}  // namespace core
