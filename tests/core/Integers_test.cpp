#include "core/Integers.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(ParseInt32, AcceptsTheDecimalAndHexadecimalSyntax) {
  struct Case { const wchar_t* text; int32_t want; };
  const Case cases[] = {
    {L"10", 10}, {L"  10", 10}, {L"-7", -7}, {L"+7", 7}, {L"0", 0}, {L"007", 7}, {L"-0", 0},
    {L"$A", 10}, {L"$a", 10}, {L"xff", 255}, {L"XfF", 255}, {L"0x10", 16}, {L"0X10", 16}, {L" -$10", -16},
    {L"2147483647", 2147483647}, {L"-2147483648", INT32_MIN},
    {L"$7FFFFFFF", INT32_MAX}, {L"$80000000", INT32_MIN}, {L"$FFFFFFFF", -1}, {L"-$FFFFFFFF", 1},
    {L"-$80000000", INT32_MIN}, {L"$000000000001", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(core::ParseInt32(c.text), std::optional<int32_t>(c.want)) << c.text;
}

TEST(ParseInt32, RejectsEverythingElse) {
  const wchar_t* const cases[] = {
    L"", L"  ", L"-", L"+", L"$", L"0x", L"x", L"10 ", L"1 0", L"\t10", L"10a", L"abc", L"--1", L"+-1", L"- 1",
    L"$-1", L"0x-1", L"1.5", L"1e3", L"2147483648", L"-2147483649", L"$100000000", L"99999999999999999999",
    L"$G", L"0b1", L"0xx1", L"$$1", L"\uFF11",
  };
  for (const wchar_t* text : cases) EXPECT_EQ(core::ParseInt32(text), std::nullopt) << text;
  EXPECT_EQ(core::ParseInt32(std::wstring_view(L"1\0", 2)), std::nullopt);
}

TEST(ParseInt32Or0, ReadsFailureAsZero) {
  EXPECT_EQ(core::ParseInt32Or0(L"13"), 13);
  EXPECT_EQ(core::ParseInt32Or0(L"abc"), 0);
  EXPECT_EQ(core::ParseInt32Or0(L""), 0);
}

}  // namespace
