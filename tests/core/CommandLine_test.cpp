#include "core/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::wstring>;

core::Command Parsed(const Args& args) {
  const core::ParsedCommandLine result = core::ParseCommandLine(args);
  if (const auto* error = std::get_if<core::UsageError>(&result)) ADD_FAILURE() << error->message;
  return std::holds_alternative<core::Command>(result) ? std::get<core::Command>(result) : core::Command{};
}

TEST(ParseCommandLine, ReadsEachCommandWithItsOptions) {
  const core::Command list = Parsed({L"list", L"--title", L"*Pad", L"--class=Edit", L"--exe", L"a.exe", L"--handle",
                                     L"0x00ab12CD", L"--task", L"Name=OK,Class=Button", L"--all", L"--json"});
  EXPECT_EQ(list.verb, core::Verb::List);
  EXPECT_EQ(list.criteria.title, L"*Pad");
  EXPECT_EQ(list.criteria.className, L"Edit");
  EXPECT_EQ(list.criteria.exeName, L"a.exe");
  EXPECT_EQ(list.criteria.handle, 0xAB12CDu);
  ASSERT_TRUE(list.criteria.task);
  EXPECT_EQ(list.criteria.task->className, L"Button");
  EXPECT_TRUE(list.all && list.json);
  EXPECT_TRUE(Parsed({L"list"}).criteria.IsEmpty());

  const core::Command snap = Parsed({L"snap", L"--region", L"-10,20,30,40", L"--out", L"a b.png", L"--cursor",
                                     L"--bmp"});
  EXPECT_EQ(snap.region, (core::Rect{-10, 20, 20, 60}));
  EXPECT_EQ(snap.outFile, L"a b.png");
  EXPECT_TRUE(snap.cursor && snap.bmp && !snap.screen);
  EXPECT_TRUE(Parsed({L"snap", L"--screen"}).screen);

  const core::Command set = Parsed({L"set", L"--handle", L"0X1", L"--enable", L"off", L"--show", L"on",
                                    L"--topmost", L"on", L"--alpha", L"0", L"--rect", L"1,-2,300,0"});
  EXPECT_EQ(set.changes.enable, false);
  EXPECT_EQ(set.changes.show, true);
  EXPECT_EQ(set.changes.topmost, true);
  EXPECT_EQ(set.changes.alpha, 0);
  EXPECT_EQ(set.changes.rect, (core::PixelRect{1, -2, 300, 0}));

  EXPECT_EQ(Parsed({L"tasks"}).tasksMode, core::TasksMode::DryRun);
  const core::Command tasks = Parsed({L"tasks", L"--once", L"--file", L"t.ini"});
  EXPECT_EQ(tasks.tasksMode, core::TasksMode::Once);
  EXPECT_EQ(tasks.taskFile, L"t.ini");

  EXPECT_EQ(Parsed({L"info", L"--title", L"x", L"--json"}).verb, core::Verb::Info);
  EXPECT_EQ(Parsed({L"set", L"--bogus", L"--help"}).verb, core::Verb::Help);  // help wins over everything
  EXPECT_EQ(Parsed({L"--version"}).verb, core::Verb::Version);
  EXPECT_EQ(Parsed({L"element", L"--at", L"-5,7", L"--json"}).at, (core::Point{-5, 7}));
}

TEST(ParseCommandLine, RefusesBadInputWithAMessageNamingTheProblem) {
  struct Case { Args args; std::wstring_view want; };
  const Case cases[] = {
    {{}, L"no command given"},
    {{L"frob"}, L"unknown command \"frob\""},
    {{L"--title", L"x"}, L"the command must come first, before --title"},
    {{L"--version", L"list"}, L"--version takes no other arguments"},
    {{L"list", L"--frob"}, L"unknown option --frob"},
    {{L"list", L"stray"}, L"unexpected argument \"stray\""},
    {{L"list", L"--title"}, L"--title needs a value"},
    {{L"list", L"--title", L"--json"}, L"--title needs a value"},
    {{L"list", L"--all=yes"}, L"--all takes no value"},
    {{L"list", L"--title", L"a", L"--title", L"b"}, L"--title is given twice"},
    {{L"snap", L"--screen", L"--json"}, L"--json is not an option of snap"},
    {{L"list", L"--title", L""}, L"--title: the pattern is empty"},
    {{L"list", L"--class="}, L"--class: the pattern is empty"},
    {{L"list", L"--exe", L"C:\\x\\a.exe"}, L"--exe: \"C:\\x\\a.exe\" is a path; give the file name only"},
    {{L"info", L"--handle", L"zz"}, L"--handle: \"zz\" is not a window handle (0x and 1 to 8 hexadecimal digits)"},
    {{L"info", L"--handle", L"1234"}, L"--handle: \"1234\" is not a window handle"},
    {{L"info", L"--handle", L"0x123456789"}, L"--handle: \"0x123456789\" is not a window handle"},
    {{L"info", L"--handle", L"0x0"}, L"--handle: 0 names no window"},
    {{L"info", L"--task", L"pClass=X,Key=13"}, L"--task: \"pClass=X,Key=13\" has neither a Name nor a Class item"},
    {{L"info"}, L"info needs a window criterion (--title, --class, --exe, --handle or --task)"},
    {{L"snap", L"--cursor"}, L"snap needs a window criterion (--title, --class, --exe, --handle or --task), --screen"
                             L" or --region"},
    {{L"snap", L"--screen", L"--region", L"0,0,1,1"}, L"--screen and --region cannot be used together"},
    {{L"snap", L"--title", L"x", L"--screen"}, L"--screen cannot be used with window criteria"},
    {{L"snap", L"--region", L"0,0,1,1", L"--exe", L"a.exe"}, L"--region cannot be used with window criteria"},
    {{L"snap", L"--region", L"0,0,-1,1"}, L"--region: \"0,0,-1,1\": the width and height must not be negative"},
    {{L"snap", L"--region", L"2147483647,0,1,1"},
     L"--region: \"2147483647,0,1,1\": the rectangle reaches beyond the coordinate range"},
    {{L"set", L"--title", L"x", L"--rect", L"0,0,5,-1"},
     L"--rect: \"0,0,5,-1\": the width and height must not be negative"},
    {{L"set", L"--title", L"x", L"--rect", L"0,2147483000,1,1000"},
     L"--rect: \"0,2147483000,1,1000\": the rectangle reaches beyond the coordinate range"},
    {{L"snap", L"--screen", L"--out", L""}, L"--out: the file name is empty"},
    {{L"tasks", L"--dry-run", L"--once"}, L"--dry-run and --once cannot be used together"},
    {{L"set", L"--title", L"x"}, L"set needs a change (--enable, --show, --topmost, --alpha or --rect)"},
    {{L"set", L"--title", L"x", L"--alpha", L"300"}, L"--alpha: 300 is not a number from 0 to 255"},
    {{L"set", L"--title", L"x", L"--alpha", L"-1"}, L"--alpha: -1 is not a number from 0 to 255"},
    {{L"set", L"--title", L"x", L"--show", L"yes"}, L"--show: \"yes\" is neither on nor off"},
    {{L"set", L"--title", L"x", L"--rect", L"1,2,x,4"}, L"--rect: \"x\" in \"1,2,x,4\" is not an integer (L,T,W,H)"},
    {{L"set", L"--title", L"x", L"--rect", L"1,2,3"}, L"--rect: \"1,2,3\" is not four integers L,T,W,H"},
    {{L"set", L"--title", L"x", L"--rect", L"1,2,3,4,5"}, L"--rect: \"1,2,3,4,5\" is not four integers L,T,W,H"},
    {{L"element"}, L"element needs --at X,Y or a window criterion"},
    {{L"element", L"--at", L"1,2", L"--title", L"x"}, L"--at cannot be used with window criteria"},
    {{L"element", L"--at", L"1"}, L"--at: \"1\" is not two integers X,Y"},
  };
  for (const Case& c : cases) {
    const core::ParsedCommandLine result = core::ParseCommandLine(c.args);
    const auto* error = std::get_if<core::UsageError>(&result);
    ASSERT_NE(error, nullptr) << std::wstring(c.want);
    EXPECT_TRUE(error->message.starts_with(c.want)) << error->message;
  }
  EXPECT_EQ(core::UsageErrorLine({L"unknown option --frob"}), L"skimlet: unknown option --frob (see skimlet --help)");
}

TEST(MatchesCriteria, RequiresEveryGivenCriterion) {
  const core::WindowFacts window{0x1234, 77, L"Notepad.EXE", L"Notepad", L"Untitled - Notepad", {}};
  struct Case { core::Criteria criteria; bool want; };
  const Case cases[] = {
    {{}, true},
    {{.title = L"untitled*"}, true},
    {{.title = L"untitled"}, false},
    {{.className = L"note?ad"}, true},
    {{.exeName = L"notepad.exe"}, true},
    {{.exeName = L"notepad"}, false},
    {{.handle = 0x1234}, true},
    {{.handle = 0x1235}, false},
    {{.title = L"*", .className = L"Edit"}, false},
    {{.title = L"*", .className = L"*", .exeName = L"NOTEPAD.exe", .handle = 0x1234}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(core::MatchesCriteria(window, c.criteria), c.want);
}

}  // namespace
