#include "core/Links.h"

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr wchar_t kExe[] = L"C:\\Program Files\\Tools\\skimlet.exe";

core::LinkContext ContextWithFiles(std::set<std::wstring> files) {
  core::LinkContext context;
  context.exeName = kExe;
  context.fileExists = [files = std::move(files)](const std::wstring& name) { return files.count(name) != 0; };
  return context;
}

TEST(BuildLink, GivesEveryLinkOfTheProduct) {
  struct Case { const wchar_t* page; const wchar_t* action; const wchar_t* want; };
  const Case cases[] = {
    {L"download", L"", L"http://skimlet.example.org/en/skimlet/download.htm?p=skimlet&v=2024.16.511.3038"},
    {L"", L"", L"http://skimlet.example.org?p=skimlet&v=2024.16.511.3038"},
    {L"supports", L"",
     L"mailto:support@skimlet.example.org?subject=Support required for Skimlet 2024.16.511.3038"},
    {L"", L"err&e=Access violation",
     L"http://skimlet.example.org/net/?a=err&e=Access violation&p=skimlet&v=2024.16.511.3038"},
    // Only double quotes are taken out; &, =, # and blanks go through as they are.
    {L"", L"err&e=File \"a&b=c #1\" not found",
     L"http://skimlet.example.org/net/?a=err&e=File a&b=c #1 not found&p=skimlet&v=2024.16.511.3038"},
    // A page wins over an action for the path; the action still goes into the query.
    {L"download", L"x\"y", L"http://skimlet.example.org/en/skimlet/download.htm?a=xy&p=skimlet&v=2024.16.511.3038"},
    // Page names are matched exactly.
    {L"H", L"", L"http://skimlet.example.org/en/skimlet/H.htm?p=skimlet&v=2024.16.511.3038"},
  };
  const core::LinkContext context = ContextWithFiles({});
  for (const Case& c : cases) EXPECT_EQ(core::BuildLink(c.page, c.action, context), c.want) << c.page << c.action;
}

TEST(BuildLink, HelpPrefersTheChmFileAndFallsBackToThePdfName) {
  const std::wstring chm = L"C:\\Program Files\\Tools\\skimlet.chm";
  const std::wstring pdf = L"C:\\Program Files\\Tools\\skimlet.pdf";
  EXPECT_EQ(core::BuildLink(L"h", L"", ContextWithFiles({chm, pdf})), chm);
  EXPECT_EQ(core::BuildLink(L"h", L"", ContextWithFiles({pdf})), pdf);
  EXPECT_EQ(core::BuildLink(L"h", L"", ContextWithFiles({})), pdf);

  core::LinkContext noTest;
  noTest.exeName = L"D:\\grab2.exe";
  EXPECT_EQ(core::BuildLink(L"h", L"", noTest), L"D:\\grab2.pdf");
}

TEST(BuildLink, MailSubjectReplacesOnlyTheFirstAmpersandOfTheTitle) {
  core::LinkContext context = ContextWithFiles({});
  context.title = L"Cut & Paste & Go";
  EXPECT_EQ(core::BuildLink(L"supports", L"ignored", context),
            L"mailto:support@skimlet.example.org?subject=Support required for Cut And Paste & Go 2024.16.511.3038");
}

TEST(BuildLink, LeavesOutPairsWithEmptyValues) {
  core::LinkContext context = ContextWithFiles({});
  context.version.clear();
  EXPECT_EQ(core::BuildLink(L"", L"err", context), L"http://skimlet.example.org/net/?a=err&p=skimlet");
}

}  // namespace
