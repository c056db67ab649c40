#include "core/SetLine.h"

#include <gtest/gtest.h>

namespace {

using Fields = std::array<std::wstring, 4>;

TEST(FormatSetLine, RightAlignsInFiveAndKeepsLongTextsWhole) {
  EXPECT_EQ(core::FormatSetLine(L"100", L"50", L"800", L"600"), L"  100   50  800  600");
  EXPECT_EQ(core::FormatSetLine(L"123456", L"50", L"800", L"600"), L"123456   50  800  600");
  EXPECT_EQ(core::FormatSetLine(L" 100", L"", L"-1920", L"$A"), L"  100     -1920   $A");
  EXPECT_EQ(core::FormatSetLine(L"", L"", L"", L""), std::wstring(20, L' '));
}

TEST(SplitSetLine, CutsByPositionOnly) {
  struct Case { const wchar_t* line; Fields want; };
  const Case cases[] = {
    {L"  100   50  800  600", {L"  100", L"   50", L"  800", L"  600"}},
    {L"123456   50  800  600", {L"12345", L"6   5", L"0  80", L"0  60"}},
    {L"abc", {L"abc", L"", L"", L""}},
    {L"", {L"", L"", L"", L""}},
    {L"  100   50  8", {L"  100", L"   50", L"  8", L""}},
    {L"  100   50  800  600 extra", {L"  100", L"   50", L"  800", L"  600"}},
  };
  for (const Case& c : cases) EXPECT_EQ(core::SplitSetLine(c.line), c.want) << c.line;
}

TEST(SetLine, FieldsOfUpToFiveCharactersRoundTrip) {
  const Fields values{L"-1920", L"0", L"$FF", L" 12"};
  const Fields back = core::SplitSetLine(core::FormatSetLine(values[0], values[1], values[2], values[3]));
  EXPECT_EQ(back, (Fields{L"-1920", L"    0", L"  $FF", L"   12"}));
}

}  // namespace
