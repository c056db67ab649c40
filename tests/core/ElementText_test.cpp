#include "core/ElementText.h"

#include <gtest/gtest.h>

namespace {

core::ElementFacts Element(std::wstring name, int depth, std::wstring role = L"push button") {
  core::ElementFacts element;
  element.name = std::move(name);
  element.role = std::move(role);
  element.depth = depth;
  return element;
}

TEST(ElementText, TreeLinesIndentAndJsonNestsByDepth) {
  core::ElementFacts later = Element(L"Later\tnow", 2);
  later.bounds = {1, 2, 30, 40};
  EXPECT_EQ(core::ElementTreeLine(later), L"    push button \"Later now\" 1,2,30,40");
  // A jump of two levels hangs under the element before; a return to depth 1 closes both.
  const std::string json = core::FormatElementTreeJson(
      {Element(L"root", 0, L"client"), Element(L"a", 1), Element(L"a1", 3), Element(L"b", 1)});
  const std::string want = R"("children": [
    {
      "name": "a",)";
  EXPECT_NE(json.find(want), std::string::npos) << json;
  EXPECT_LT(json.find("\"a1\""), json.find("\"b\""));
  EXPECT_EQ(json.find("\"b\""), json.rfind("\"name\": \"b\"") + 8);
  EXPECT_NE(json.find("\"name\": \"a1\",\n          \"role\""), std::string::npos) << "a1 one level under a";
  EXPECT_EQ(core::FormatElementTreeJson({}), "null");
}

TEST(ElementText, TaskItemsNameAnElementWithoutRegardToCase) {
  const core::ElementFacts later = Element(L"Later", 1);
  const auto matches = [&](const wchar_t* line) {
    return core::ElementMatchesTask(later, core::TaskDescription::Parse(line));
  };
  EXPECT_TRUE(matches(L"Class=X,eName=LATER,\"eRole=Push Button\""));
  EXPECT_TRUE(matches(L"\"eRole=push button\",eName=")) << "an empty item names nothing";
  EXPECT_TRUE(matches(L"eName=later"));
  EXPECT_FALSE(matches(L"eName=Later,eRole=link"));
  EXPECT_FALSE(matches(L"Class=X")) << "no element items: no element";
  EXPECT_FALSE(core::TaskDescription::Parse(L"Class=X,eName=").IsElement());
  EXPECT_EQ(core::ElementTaskLine(core::TaskDescription::Parse(L"Class=X"), later),
            L"Class=X,eName=Later,\"eRole=push button\"");
}

}  // namespace
