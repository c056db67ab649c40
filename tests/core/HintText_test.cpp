// How a balloon hint splits into title and text.
#include "core/HintText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::HintParts;

TEST(SplitHint, TitleBeforeTheFirstBarTextAfterIt) {
  struct Case {
    std::wstring hint;
    HintParts expected;
  };
  const std::vector<Case> cases = {
      {L"Capture Window|Drag here to capture window!\r\nRight click to the top window!\r\n",
       {L"Capture Window", L"Drag here to capture window!\r\nRight click to the top window!\r\n"}},
      {L"Set enabled or disabled", {L"Set enabled or disabled", L""}},
      {L"Region Snapshot|\r\nTips:\r\n", {L"Region Snapshot", L"\r\nTips:\r\n"}},
      {L"a|b|c", {L"a", L"b|c"}},
      {L"|text only", {L"", L"text only"}},
      {L"title only|", {L"title only", L""}},
      {L"|", {L"", L""}},
      {L"", {L"", L""}},
      {L"More function ...", {L"More function ...", L""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::SplitHint(c.hint), c.expected) << std::string(c.hint.begin(), c.hint.end());
  }
}

}  // namespace
