#include "core/ActionLog.h"

#include <gtest/gtest.h>

#include "core/TaskTestLine.h"

namespace {

TEST(ActionLog, OneLineOfSevenTabSeparatedFieldsInUtf8) {
  core::ActionLogEntry entry;
  entry.time = {2024, 3, 7, 9, 5, 4, 42};
  entry.action = L"key 13";
  entry.lineNumber = 12;
  entry.handle = 0xA01B2;
  entry.imageName = L"nag.exe";
  entry.className = L"#32770";
  entry.title = L"Caf\u00e9\tnow\r\nor later";  // a tab or a break must not add a field or a line
  EXPECT_EQ(core::FormatActionLogLine(entry),
            "2024-03-07 09:05:04.042\tkey 13\tline 12\t0x000A01B2\tnag.exe\t#32770\tCaf\xC3\xA9 now  or later\r\n");
}

TEST(ActionLog, CutKeepsTheWholeLinesOfTheNewerHalf) {
  struct Case {
    const char* log;
    const char* want;
  };
  const Case cases[] = {
      {"", ""},
      {"aaa\r\nbbb\r\n", "bbb\r\n"},                  // the middle falls on a line start
      {"a\r\nbbbb\r\ncc\r\ndd\r\n", "cc\r\ndd\r\n"},  // a line cut by the middle goes whole
      {"a\r\nbbbbbbbbbbbb\r\n", "bbbbbbbbbbbb\r\n"},  // the last line began in the older half: kept
  };
  for (const Case& c : cases) EXPECT_EQ(core::KeepNewerHalf(c.log), c.want) << c.log;

  // A log just over the limit ends at most half as long, and with its newest line.
  std::string log;
  for (int i = 0; log.size() <= core::kActionLogLimit; ++i) log += "line " + std::to_string(i) + "\r\n";
  const std::string cut = core::KeepNewerHalf(log);
  EXPECT_LE(cut.size(), log.size() / 2);
  EXPECT_GT(cut.size(), log.size() / 2 - 20);
  EXPECT_EQ(log.substr(log.size() - cut.size()), cut);
  EXPECT_EQ(log[log.size() - cut.size() - 1], '\n');
}

TEST(ActionLog, ANewEntryNeverJoinsALastLineWithoutItsEnding) {
  EXPECT_EQ(core::OnLineOfItsOwn("", "a\r\n"), "a\r\n");
  EXPECT_EQ(core::OnLineOfItsOwn("\n", "a\r\n"), "a\r\n");
  EXPECT_EQ(core::OnLineOfItsOwn("x", "a\r\n"), "\r\na\r\n");
}

TEST(TaskTestLine, NamesTheWindowOrNone) {
  EXPECT_EQ(core::FormatTaskTestLine(3, L"Name=OK,Class=Button", 0x1234u, L"O\tK"),
            L"3: Name=OK,Class=Button -> 0x00001234 \"O K\"");
  EXPECT_EQ(core::FormatTaskTestLine(1, L"Name=Gone", std::nullopt, L"ignored"), L"1: Name=Gone -> no window");
}

}  // namespace
