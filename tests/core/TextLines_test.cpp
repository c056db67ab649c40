#include "core/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextLines, SplitsAtEveryKindOfLineBreak) {
  struct Case {
    std::wstring text;
    std::vector<std::wstring> lines;
  };
  const Case cases[] = {
      {L"", {}},
      {L"one", {L"one"}},
      {L"one\r\ntwo", {L"one", L"two"}},
      {L"one\r\ntwo\r\n", {L"one", L"two"}},
      {L"one\ntwo\rthree", {L"one", L"two", L"three"}},
      {L"\r\n", {L""}},
      {L"a\r\n\r\nb", {L"a", L"", L"b"}},
      {L"a\n\r\nb", {L"a", L"", L"b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::SplitLines(c.text), c.lines) << testing::PrintToString(c.text);
  }
  EXPECT_EQ(core::JoinLines({L"a", L"", L"b"}), L"a\r\n\r\nb");
  EXPECT_EQ(core::JoinLines({}), L"");
}

}  // namespace
