#include "core/Paths.h"

#include <gtest/gtest.h>

namespace {

TEST(ChangeFileExt, ReplacesOnlyTheLastExtensionOfTheFileName) {
  struct Case { const wchar_t* path; const wchar_t* ext; const wchar_t* want; };
  const Case cases[] = {
    {L"C:\\Tools\\skimlet.exe", L".ini", L"C:\\Tools\\skimlet.ini"},
    {L"C:\\x\\tool.exe.tmp.bmp", L".png", L"C:\\x\\tool.exe.tmp.png"},
    {L"C:\\Tools\\skimlet", L".dll", L"C:\\Tools\\skimlet.dll"},
    {L"C:\\my.tools\\skimlet", L".dll", L"C:\\my.tools\\skimlet.dll"},
    {L"C:skimlet", L".log", L"C:skimlet.log"},
    {L"C:.\\a", L".log", L"C:.\\a.log"},
    {L"\\\\?\\C:\\Ordner mit Leerzeichen\\\u0433\u0440\u0430\u04312.exe", L".chm",
     L"\\\\?\\C:\\Ordner mit Leerzeichen\\\u0433\u0440\u0430\u04312.chm"},
    {L"", L".ini", L".ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(core::ChangeFileExt(c.path, c.ext), c.want) << c.path;
}

TEST(ExtractFilePath, KeepsTheTrailingDelimiter) {
  EXPECT_EQ(core::ExtractFilePath(L"C:\\Tools\\skimlet.exe"), L"C:\\Tools\\");
  EXPECT_EQ(core::ExtractFilePath(L"C:skimlet.exe"), L"C:");
  EXPECT_EQ(core::ExtractFilePath(L"skimlet.exe"), L"");
}

TEST(ExtractFileName, TakesWhatFollowsTheLastDelimiter) {
  EXPECT_EQ(core::ExtractFileName(L"\\\\?\\C:\\Program Files\\app\\notepad.exe"), L"notepad.exe");
  EXPECT_EQ(core::ExtractFileName(L"C:/x/a.exe"), L"a.exe");
  EXPECT_EQ(core::ExtractFileName(L"C:a.exe"), L"a.exe");
  EXPECT_EQ(core::ExtractFileName(L"a.exe"), L"a.exe");
  EXPECT_EQ(core::ExtractFileName(L"C:\\x\\"), L"");
}

}  // namespace
