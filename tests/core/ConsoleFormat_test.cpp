#include "core/ConsoleFormat.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const core::WindowFacts kWindow{0xA01B2, 1234, L"note\tpad.exe", L"Notepad", L"Line\r\none \"\u00E9\"",
                                {-8, 20, 810, 620}};

TEST(ConsoleFormat, ListLineKeepsOneWindowOnOneLine) {
  EXPECT_EQ(core::FormatListLine(kWindow),
            L"0x000A01B2\t1234\tnote pad.exe\tNotepad\tLine  one \"\u00E9\"\t-8,20,810,620");
  EXPECT_EQ(core::FormatHandle(0xFFFFFFFF), L"0xFFFFFFFF");
  EXPECT_EQ(core::OneLine(L"a\x7F\x85\u00A0b"), L"a  \u00A0b");  // DEL and C1 controls too, not the no-break space
}

TEST(ConsoleFormat, JsonKeepsTextsAsTheyAreInUtf8) {
  EXPECT_EQ(core::FormatListJson({}), "[]");
  EXPECT_EQ(core::FormatListJson({kWindow}),
            "[\n"
            "  {\n"
            "    \"handle\": \"0x000A01B2\",\n"
            "    \"pid\": 1234,\n"
            "    \"exe\": \"note\\tpad.exe\",\n"
            "    \"class\": \"Notepad\",\n"
            "    \"title\": \"Line\\r\\none \\\"\xC3\xA9\\\"\",\n"
            "    \"rect\": {\n"
            "      \"left\": -8,\n"
            "      \"top\": 20,\n"
            "      \"right\": 810,\n"
            "      \"bottom\": 620\n"
            "    }\n"
            "  }\n"
            "]");
  const core::WindowDetails details{L"C:\\x\\a.exe", 9, 0, 0x10, 96, L"Name=a"};
  const std::string info = core::FormatInfoJson({L"HWND =0x0A01B2(655794)"}, kWindow, details);
  EXPECT_NE(info.find("\"path\": \"C:\\\\x\\\\a.exe\",\n  \"thread\": 9,\n  \"parent\": \"0x00000000\",\n"
                      "  \"owner\": \"0x00000010\",\n  \"dpi\": 96,\n  \"task\": \"Name=a\",\n"
                      "  \"panel\": [\n    \"HWND =0x0A01B2(655794)\"\n  ]\n}"),
            std::string::npos)
      << info;
}

TEST(ConsoleFormat, InfoAddsProcessThreadParentOwnerRectDpiAndTask) {
  const core::WindowDetails details{L"C:\\x\\a.exe", 9, 0, 0x10, 144, L"\"Name=a\tb\",Class=c"};
  const std::vector<std::wstring> want = {
      L"Title=x y",         L"Process=1234 C:\\x\\a.exe", L"Thread=9",       L"Parent=0x00000000",
      L"Owner=0x00000010",  L"Rect=-8,20,810,620",        L"Dpi=144",        L"Task=\"Name=a b\",Class=c"};
  EXPECT_EQ(core::BuildInfoOutput({L"Title=x\ny"}, kWindow, details), want);
}

TEST(ConsoleFormat, TaskActionFollowsTheRunnersDecisions) {
  struct Case { std::wstring_view line; bool enabled; std::wstring_view want; };
  const Case cases[] = {
    {L"Name=a,Class=b", false, L"close"},           // a top-level window is closed, enabled or not
    {L"Name=OK,Class=Button,pClass=D", true, L"click"},
    {L"Name=OK,Class=Button,pClass=D", false, L"nothing: disabled"},
    {L"Name=OK,Class=Button,pClass=D,Key=$0D", false, L"key 13"},  // a key is sent to a disabled window as well
    {L"Name=a,Class=b,Key=abc", true, L"close"},     // a key that is not a number is no key
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::DescribeTaskAction(core::TaskDescription::Parse(c.line), c.enabled), c.want) << std::wstring(c.line);
  }
  const core::TaskDescription close = core::TaskDescription::Parse(L"Name=a,Class=b");
  EXPECT_EQ(core::FormatTaskDryRunLine(3, L"Name=a,Class=b", close, nullptr, true), L"3\tName=a,Class=b\tno window");
  EXPECT_EQ(core::FormatTaskDryRunLine(1, L"\"Name=Line\r\none\",Class=Notepad", close, &kWindow, true),
            L"1\t\"Name=Line  one\",Class=Notepad\t" + core::FormatListLine(kWindow) + L"\tclose");
}

TEST(PickSnapshotFileName, TakesTheFirstFreeSuffixWithinItsBound) {
  const core::LocalTime time{2024, 3, 7, 9, 5, 1};
  std::set<std::wstring> taken;
  const auto exists = [&](const std::wstring& name) { return taken.contains(name); };
  EXPECT_EQ(core::PickSnapshotFileName(time, false, exists), L"skimlet-20240307-090501.png");
  taken = {L"skimlet-20240307-090501.bmp", L"skimlet-20240307-090501-2.bmp"};
  EXPECT_EQ(core::PickSnapshotFileName(time, true, exists), L"skimlet-20240307-090501-3.bmp");
  int calls = 0;
  EXPECT_EQ(core::PickSnapshotFileName(time, false, [&](const std::wstring&) { return ++calls, true; }), std::nullopt);
  EXPECT_EQ(calls, core::kMaxSnapshotNames);
}

}  // namespace
