#include "core/ShownText.h"

#include <gtest/gtest.h>

#include <string>

#include "core/InfoText.h"

namespace {

TEST(ShownText, CutsLongTextsAndSaysHowLongTheyWere) {
  EXPECT_EQ(core::ShownText(L"abcde", 5), L"abcde");
  EXPECT_EQ(core::ShownText(L"abcdef", 5), L"abcde\u2026 (6 characters)");
  const std::wstring pair{L'a', L'b', L'c', L'd', wchar_t{0xD83D}, wchar_t{0xDE00}};  // UTF-16, on every platform
  EXPECT_EQ(core::ShownText(pair, 5), L"abcd\u2026 (6 characters)");                 // the pair is not split
  EXPECT_EQ(core::ShownText(L"", 0), L"");
}

TEST(ShownText, BoundsTheMemoTitleAndTheHistoryCaption) {
  core::TargetInfo info;
  info.title = std::wstring(1000000, L'x');
  const auto lines = core::BuildInfoLines(info);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], L"Title=" + std::wstring(core::kMemoTitleLength, L'x') + L"\u2026 (1000000 characters)");
  EXPECT_EQ(core::FormatHistoryCaption(1, 1, info.title, L"C"),
            L"1~000001~" + std::wstring(core::kMenuTextLength, L'x') + L"\u2026 (1000000 characters)~C");
}

}  // namespace
