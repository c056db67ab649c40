#include "core/TaskLine.h"

#include <gtest/gtest.h>

#include "core/CaseFold.h"
#include "core/TaskDescription.h"

namespace {

using Items = std::vector<std::wstring>;

TEST(SplitTaskLine, ReadsBareAndQuotedItems) {
  struct Case { std::wstring_view line; Items want; };
  const Case cases[] = {
    {L"Name=OK,Class=Button,pName=Confirm,pClass=#32770",
     {L"Name=OK", L"Class=Button", L"pName=Confirm", L"pClass=#32770"}},
    {L"\"Name=Untitled - Editor\",Class=EditorWnd", {L"Name=Untitled - Editor", L"Class=EditorWnd"}},
    {L"", {}},
    {L" \t\r\n", {}},
    {L"  a , b\t,\tc  ", {L"a", L"b", L"c"}},
    {L"a b", {L"a", L"b"}},                       // a blank outside quotes ends the item
    {L"Name=Save as,Class=X", {L"Name=Save", L"as", L"Class=X"}},
    {L"a,", {L"a", L""}},                         // a comma at the very end adds one empty item
    {L"a, ", {L"a"}},                             // ... but not when blanks follow it
    {L",", {L"", L""}},
    {L"a,,b", {L"a", L"", L"b"}},
    {L"\"x\"\"y\"", {L"x\"y"}},                   // a doubled quote stands for one
    {L"\"\"", {L""}},
    {L"\"a,b\" , \"c d\"", {L"a,b", L"c d"}},
    {L"\"ab\"cd", {L"ab", L"cd"}},                // text after a closing quote starts the next item
    {L"\"ab\" cd,e", {L"ab", L"cd", L"e"}},
    {L"\"unterminated, \"\"x", {L"unterminated, \"x"}},
    {L"a\"b,c", {L"a\"b", L"c"}},                 // a quote inside a bare item is just a character
    {std::wstring_view(L"a\0b,c", 5), {std::wstring(L"a\0b", 3), L"c"}},  // NUL is an ordinary character
    {std::wstring_view(L"\0", 1), {std::wstring(1, L'\0')}},
  };
  for (const Case& c : cases) EXPECT_EQ(core::SplitTaskLine(c.line), c.want) << std::wstring(c.line);
}

TEST(JoinTaskLine, QuotesOnlyWhatMustBeQuoted) {
  struct Case { Items items; std::wstring_view want; };
  const Case cases[] = {
    {{L"Name=OK", L"Class=Button"}, L"Name=OK,Class=Button"},
    {{L"Name=Untitled - Editor", L"Class=EditorWnd"}, L"\"Name=Untitled - Editor\",Class=EditorWnd"},
    {{L"Name=a,b"}, L"\"Name=a,b\""},
    {{L"Name=say \"hi\""}, L"\"Name=say \"\"hi\"\"\""},
    {{L"Name=tab\there"}, L"\"Name=tab\there\""},
    {{L"\x01"}, L"\"\x01\""},
    {{L"Name=\u00E9t\u00E9"}, L"Name=\u00E9t\u00E9"},
    {{}, L""},
    {{L""}, L"\"\""},
    {{L"a", L""}, L"a,"},
    {{L"", L"a"}, L",a"},
  };
  for (const Case& c : cases) EXPECT_EQ(core::JoinTaskLine(c.items), c.want) << std::wstring(c.want);
}

TEST(TaskLine, ReadingWhatWasWrittenGivesTheItemsBack) {
  const std::wstring withNul(L"Name=a\0b", 8);
  const Items lists[] = {
    {L"Name=Untitled, \"draft\" - Editor", L"Class=Edit"},
    {L"Name= leading and trailing ", L"Class=\t"},
    {L"Name=line one\r\nline two", L"Class=x"},
    {L"Name=\"", L"\"\"", L",", L" "},
    {L"", L"", L""},
    {L""},
    {L"a", L""},
    {withNul, L"\x1F"},
    {L"Name=\u041E\u041A", L"Class=\u00C4\u00D6"},
  };
  for (const Items& items : lists) EXPECT_EQ(core::SplitTaskLine(core::JoinTaskLine(items)), items);
}

TEST(TaskItems, SetsAndLooksUpKeysWithoutRegardToCase) {
  core::TaskItems task;
  task.Set(L"Name", L"Untitled - Editor");
  task.Set(L"Class", L"EditorWnd");
  task.Set(L"pName", L"");  // an empty value is never written
  EXPECT_EQ(task.ToLine(), L"\"Name=Untitled - Editor\",Class=EditorWnd");
  task.Set(L"CLASS", L"Other");  // replaces in place
  EXPECT_EQ(task.Items(), (Items{L"Name=Untitled - Editor", L"CLASS=Other"}));
  task.Set(L"name", L"");  // removes
  EXPECT_EQ(task.Items(), (Items{L"CLASS=Other"}));

  const core::TaskItems read = core::TaskItems::FromLine(
      L"Key,key=,KEY=13=x,Name=OK,Class=Button,\"pName=Save as\",pClass=#32770,pLevels=1,Name=second");
  struct Case { const wchar_t* key; const wchar_t* want; };
  const Case cases[] = {
    {L"Key", L""},  // the bare item "Key" has no "=", so "key=" is the first that carries the key
    {L"name", L"OK"}, {L"CLASS", L"Button"}, {L"pname", L"Save as"}, {L"pClass", L"#32770"},
    {L"pLevels", L"1"}, {L"Missing", L""}, {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(read.Value(c.key), c.want) << c.key;
  EXPECT_EQ(core::TaskItems::FromLine(L"KEY=13=x").Value(L"key"), L"13=x");
}

TEST(TaskItems, TitlesSurviveALineRoundTrip) {
  const wchar_t* const titles[] = {
    L"Untitled, \"draft\" - Editor", L" spaced ", L"a\tb", L"\u0421\u043E\u0445\u0440\u0430\u043D\u0438\u0442\u044C",
    L"=", L"x=y", L"\"", L"CR\rLF\n",
  };
  for (const wchar_t* title : titles) {
    core::TaskItems task;
    task.Set(L"Name", title);
    task.Set(L"Class", L"#32770");
    const core::TaskItems back = core::TaskItems::FromLine(task.ToLine());
    EXPECT_EQ(back.Value(L"Name"), title);
    EXPECT_EQ(back.Value(L"Class"), L"#32770");
  }
}

TEST(EqualsIgnoreCase, FoldsTheCoveredScriptsAlike) {
  struct Case { const wchar_t* a; const wchar_t* b; bool equal; };
  const Case cases[] = {
    {L"Name", L"nAME", true},
    {L"\u00C4\u00D6\u00DC\u00C0\u00DE", L"\u00E4\u00F6\u00FC\u00E0\u00FE", true},  // Latin-1
    {L"\u00D7", L"\u00F7", false},                       // multiplication and division signs are not letters
    {L"\u0178", L"\u00FF", true},                        // Y with diaeresis: capital in Extended-A, small in Latin-1
    {L"\u0100\u0139\u014A\u0179", L"\u0101\u013A\u014B\u017A", true},  // parity changes within Extended-A
    {L"\u0130", L"i", false}, {L"\u0131", L"I", false},  // dotted and dotless i stay themselves
    {L"\u017F", L"S", true},                             // long s
    {L"\u0391\u03A3\u03A9\u0386\u038F", L"\u03B1\u03C3\u03C9\u03AC\u03CE", true},  // Greek with tonos
    {L"\u03C2", L"\u03A3", true},                        // final sigma
    {L"\u00B5", L"\u039C", true},                        // micro sign and capital mu
    {L"\u0401\u0410\u042F\u0460\u04C1\u04D0", L"\u0451\u0430\u044F\u0461\u04C2\u04D1", true},  // Cyrillic
    {L"\u04C0", L"\u04CF", true},                        // palochka
    {L"abc", L"abcd", false}, {L"a", L"b", false}, {L"", L"", true},
    {L"\u1E9E", L"\u00DF", false},                       // outside the covered blocks: exact
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(core::EqualsIgnoreCase(c.b, c.a), c.equal);
  }
}

TEST(FoldCase, MapsEveryCharacterToAFixedPoint) {
  // Folding twice must give the same as folding once, or look-ups would depend on which side was folded.
  for (uint32_t c = 0; c < 0x10000; ++c) {
    const wchar_t once = core::FoldCase(static_cast<wchar_t>(c));
    ASSERT_EQ(core::FoldCase(once), once) << c;
  }
}

TEST(TaskDescription, ReadsWhatALineAsksForAndWritesItBack) {
  const auto top = core::TaskDescription::Parse(L"\"name=Tip of the day\",CLASS=#32770,Key=$0D,Extra=1,Name=second");
  EXPECT_EQ(top.name, L"Tip of the day");  // keys in any case; the first item with a key wins; others are ignored
  EXPECT_EQ(top.className, L"#32770");
  EXPECT_FALSE(top.IsControl());
  EXPECT_EQ(top.TopName(), L"Tip of the day");
  EXPECT_EQ(top.Action(), core::TaskAction::Key);
  EXPECT_EQ(top.key, 13);

  const auto control = core::TaskDescription::Parse(L"Name=Later,Class=Button,pName=Updater,pClass=Main,pLevels=x");
  EXPECT_TRUE(control.IsControl());
  EXPECT_EQ(control.TopClass(), L"Main");
  EXPECT_EQ(control.TopName(), L"Updater");
  EXPECT_EQ(control.levels, 0);  // not a number
  EXPECT_EQ(control.Action(), core::TaskAction::Click);
  EXPECT_EQ(core::TaskDescription::Parse(L"Name=a,Class=b,Key=0").Action(), core::TaskAction::Close);

  const core::TaskDescription made{L"Save, \"all\"", L"Button", L"", L"#32770", 2, 0};
  EXPECT_EQ(made.ToLine(), L"\"Name=Save, \"\"all\"\"\",Class=Button,pClass=#32770,pLevels=2");
  const core::TaskDescription back = core::TaskDescription::Parse(made.ToLine());
  EXPECT_EQ(back.name, made.name);
  EXPECT_EQ(back.parentClass, made.parentClass);
  EXPECT_EQ(back.levels, 2);
}

}  // namespace
