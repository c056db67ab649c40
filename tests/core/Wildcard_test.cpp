#include "core/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WildcardMatch, MatchesTheWholeTextWithStarsAndQuestionMarks) {
  struct Case { std::wstring_view pattern; std::wstring_view text; bool want; };
  const Case cases[] = {
    {L"Notepad", L"notepad", true},
    {L"Notepad", L"Notepad2", false},           // the whole text, not a prefix
    {L"*pad", L"Untitled - Notepad", true},
    {L"*pad", L"Notepad++", false},
    {L"Untitled*", L"Untitled - Notepad", true},
    {L"*", L"", true},
    {L"*", L"anything", true},
    {L"**", L"", true},
    {L"?", L"", false},
    {L"?", L"x", true},
    {L"a?c", L"abc", true},
    {L"a?c", L"ac", false},
    {L"*a*b*c", L"xaybzc", true},
    {L"*a*b*c", L"xaybzcd", false},
    {L"*ab", L"aab", true},                     // the star must give back what it took
    {L"*aab", L"aaab", true},
    {L"a*a", L"a", false},
    {L"*?", L"", false},
    {L"*.exe", L"SETUP.EXE", true},
    {L"\u0417\u0430\u043F*", L"\u0437\u0410\u041F\u0438\u0441\u044C", true},  // Cyrillic folds as well
    {L"\u00C9t?", L"\u00E9t\u00E9", true},
    {L"[ab]", L"a", false},                     // brackets are ordinary characters
    {L"a\\*", L"a\\bc", true},                  // and so is the backslash: there is no escape
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::WildcardMatch(c.pattern, c.text), c.want) << std::wstring(c.pattern) << L" / "
                                                              << std::wstring(c.text);
  }
}

// A backtracking matcher takes exponential time here; the greedy one finishes at once.
TEST(WildcardMatch, RefusesAHostileTextWithoutBacktrackingEveryStar) {
  const std::wstring text(5000, L'a');
  EXPECT_FALSE(core::WildcardMatch(L"*a*a*a*a*a*a*a*a*a*a*b", text));
  EXPECT_TRUE(core::WildcardMatch(L"*a*a*a*a*a*a*a*a*a*a", text));
}

}  // namespace
