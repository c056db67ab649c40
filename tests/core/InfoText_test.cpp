#include "core/InfoText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::wstring>;

TEST(BuildInfoLines, WritesEveryLineOfAFullTarget) {
  core::TargetInfo info;
  info.handle = 656594;
  info.id = 1001;
  info.title = L"Save as";
  info.className = L"#32770";
  info.style = 0x50010000;
  info.exStyle = 4;
  info.fontText = L"Tahoma, 8pt";
  EXPECT_EQ(core::BuildInfoLines(info), (Lines{L"HWND =0x0A04D2(656594)", L"ID   =0x0003E9(1001)", L"Title=Save as",
                                               L"Class=#32770", L"Style=0x50010000 0x000004(EX)",
                                               L"Font =Tahoma, 8pt"}));
}

TEST(BuildInfoLines, LeavesOutEmptyTextsAndPrintsNegativeValuesBothWays) {
  core::TargetInfo info;
  info.handle = 0xFFFF0001u;
  info.id = -1;
  EXPECT_EQ(core::BuildInfoLines(info), (Lines{L"HWND =0xFFFF0001(-65535)", L"ID   =0xFFFFFFFF(-1)",
                                               L"Style=0x000000 0x000000(EX)"}));
}

TEST(FormatColorValue, PrintsRawWebDecimalAndBrightness) {
  struct Case { uint32_t color; const wchar_t* want; };
  const Case cases[] = {
    {0x3366CC, L"0x3366CC #CC6633 RGB:204,102,51:127"},
    {0xFFFFFF, L"0xFFFFFF #FFFFFF RGB:255,255,255:255"},
    {0x000000, L"0x000000 #000000 RGB:0,0,0:0"},
    {0x0000FF, L"0x0000FF #FF0000 RGB:255,0,0:76"},  // 76.245
    {0xFA0000, L"0xFA0000 #0000FA RGB:0,0,250:28"},  // 28.5, to the even 28
    {0xA80400, L"0xA80400 #0004A8 RGB:0,4,168:22"},  // 21.5, to the even 22
    {0xFFFFFFFF, L"0xFFFFFFFF #FFFFFF RGB:255,255,255:255"},  // the failure value of a pixel read
  };
  for (const Case& c : cases) EXPECT_EQ(core::FormatColorValue(c.color), c.want) << c.color;
}

TEST(Brightness, RoundsHalvesToEven) {
  // 0.299*R + 0.587*G + 0.114*B is exactly x.5 for these; binary floating point would not see an exact half.
  EXPECT_EQ(core::Brightness(0, 0, 250), 28);  // 28.5
  EXPECT_EQ(core::Brightness(0, 4, 168), 22);  // 21.5
  EXPECT_EQ(core::Brightness(0, 1, 0), 1);     // 0.587
  EXPECT_EQ(core::Brightness(1, 0, 0), 0);     // 0.299
  for (int v = 0; v < 256; ++v) {
    const auto c = static_cast<uint8_t>(v);
    EXPECT_EQ(core::Brightness(c, c, c), v);  // a grey is its own brightness
  }
}

TEST(SetColorLine, ReplacesInPlaceOrAppends) {
  Lines lines{L"HWND =0x0A04D2(656594)", L"Color=old", L"Style=0x000000 0x000000(EX)"};
  core::SetColorLine(lines, 0xFFFFFF);
  EXPECT_EQ(lines, (Lines{L"HWND =0x0A04D2(656594)", L"Color=0xFFFFFF #FFFFFF RGB:255,255,255:255",
                          L"Style=0x000000 0x000000(EX)"}));

  Lines noColor{L"HWND =0x000001(1)", L"Title=Color=red"};  // a title that mentions a colour is no colour line
  core::SetColorLine(noColor, 0x3366CC);
  EXPECT_EQ(noColor, (Lines{L"HWND =0x000001(1)", L"Title=Color=red", L"Color=0x3366CC #CC6633 RGB:204,102,51:127"}));

  Lines empty;
  core::SetColorLine(empty, 0);
  EXPECT_EQ(empty, (Lines{L"Color=0x000000 #000000 RGB:0,0,0:0"}));
}

TEST(SetNamedLine, MatchesNamesWithoutCaseAndRemovesOnEmptyValue) {
  Lines lines{L"banner without equals", L"color=x", L"Font =Tahoma, 8pt"};
  core::SetNamedLine(lines, L"Color", L"y");
  EXPECT_EQ(lines, (Lines{L"banner without equals", L"Color=y", L"Font =Tahoma, 8pt"}));
  core::SetNamedLine(lines, L"Font ", L"");
  EXPECT_EQ(lines, (Lines{L"banner without equals", L"Color=y"}));
  core::SetNamedLine(lines, L"Title", L"");
  EXPECT_EQ(lines, (Lines{L"banner without equals", L"Color=y"}));
}

TEST(FormatHistoryCaption, PadsTheHandleToSixUpperCaseDigits) {
  EXPECT_EQ(core::FormatHistoryCaption(1, 0x1A2B4, L"Confirm", L"#32770"), L"1~01A2B4~Confirm~#32770");
  EXPECT_EQ(core::FormatHistoryCaption(12, 0xABCDEF12u, L"", L"Button"), L"12~ABCDEF12~~Button");
  EXPECT_EQ(core::FormatHistoryCaption(3, 0, L"a~b", L""), L"3~000000~a~b~");
}

}  // namespace
