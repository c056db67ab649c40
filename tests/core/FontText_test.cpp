#include "core/FontText.h"

#include <gtest/gtest.h>

namespace {

struct FontCase {
  const wchar_t* face;
  int32_t height;
  int32_t weight;
  bool italic, underline, strikeOut;
  int ppi;
  wchar_t separator;
  const wchar_t* want;
};

TEST(FontDescription, DescribesSizeAndStyle) {
  const FontCase cases[] = {
      // The panel's reference fonts at 96 pixels per inch.
      {L"Tahoma", -11, 400, false, false, false, 96, L'.', L"Tahoma, 8pt"},
      {L"Tahoma", -13, 400, false, false, false, 96, L'.', L"Tahoma, 9.5pt"},
      {L"Tahoma", -12, 700, true, false, false, 96, L'.', L"Tahoma, 9pt Bold Italic"},
      {L"Tahoma", -16, 600, false, false, false, 96, L'.', L"Tahoma, 12pt Bold"},
      // Bold starts above normal weight.
      {L"Tahoma", -16, 401, false, false, false, 96, L'.', L"Tahoma, 12pt Bold"},
      {L"Tahoma", -16, 0, false, false, false, 96, L'.', L"Tahoma, 12pt"},
      // All attributes, in their fixed order.
      {L"Arial", -16, 900, true, true, true, 96, L'.', L"Arial, 12pt Bold Italic Underline StrikeOut"},
      {L"Arial", -16, 400, false, true, true, 96, L'.', L"Arial, 12pt Underline StrikeOut"},
      // The locale's decimal separator, only for half points.
      {L"Tahoma", -13, 400, false, false, false, 96, L',', L"Tahoma, 9,5pt"},
      {L"Tahoma", -12, 400, false, false, false, 96, L',', L"Tahoma, 9pt"},
      // Other screen resolutions: 13*144/120 = 15.6 -> 15 half points; 13*144/144 = 13.
      {L"Tahoma", -13, 400, false, false, false, 120, L'.', L"Tahoma, 7.5pt"},
      {L"Tahoma", -20, 400, false, false, false, 120, L'.', L"Tahoma, 12pt"},
      {L"Tahoma", -13, 400, false, false, false, 144, L'.', L"Tahoma, 6.5pt"},
      {L"Tahoma", -24, 400, false, false, false, 144, L'.', L"Tahoma, 12pt"},
      // Zero height and a cell height (positive) described by its magnitude.
      {L"Tahoma", 0, 400, false, false, false, 96, L'.', L"Tahoma, 0pt"},
      {L"Tahoma", 13, 400, false, false, false, 96, L'.', L"Tahoma, 9.5pt"},
      // A nonsense resolution falls back to 96 instead of dividing by zero.
      {L"Tahoma", -11, 400, false, false, false, 0, L'.', L"Tahoma, 8pt"},
      // Extreme heights do not overflow.
      {L"X", INT32_MIN, 400, false, false, false, 96, L'.', L"X, 1610612736pt"},
      {L"", -11, 400, false, false, false, 96, L'.', L", 8pt"},
  };
  for (const FontCase& c : cases) {
    EXPECT_EQ(core::FontDescription(c.face, c.height, c.weight, c.italic, c.underline, c.strikeOut, c.ppi, c.separator),
              c.want)
        << c.face << " " << c.height << " " << c.weight << " ppi " << c.ppi;
  }
}

TEST(FontDescription, FaceStopsAtNulAndAt32Characters) {
  using namespace std::string_view_literals;
  EXPECT_EQ(core::FontDescription(L"Tahoma\0garbage"sv, -11, 400, false, false, false, 96, L'.'), L"Tahoma, 8pt");
  const std::wstring longFace(40, L'F');
  EXPECT_EQ(core::FontDescription(longFace, -11, 400, false, false, false, 96, L'.'),
            std::wstring(32, L'F') + L", 8pt");
  EXPECT_EQ(core::FontDescription(L"\u30e1\u30a4\u30ea\u30aa", -11, 400, false, false, false, 96, L'.'),
            L"\u30e1\u30a4\u30ea\u30aa, 8pt");
}

}  // namespace
