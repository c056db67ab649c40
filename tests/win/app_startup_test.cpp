// Start-up pieces seen from outside: companion file names for any executable path, the error report of an
// exception that escapes a real event handler, and the help file choice.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/ovApp.h"
#include "app/ovLinks.h"
#include "app/ovMainForm.h"
#include "base/Error.h"
#include "base/Paths.h"
#include "core/Paths.h"
#include "core/Unicode.h"
#include "support/ListsFixture.h"
#include "support/MainWindow.h"
#include "support/SkimletSession.h"
#include "support/TestFiles.h"

namespace {

const wchar_t kCompanionsEnv[] = L"SKIMLET_COMPANIONS_OUT";

std::wstring ReadEnv(const wchar_t* name) {
  wchar_t buffer[32768];
  DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
  return length > 0 && length < 32768 ? std::wstring(buffer, length) : std::wstring();
}

// Runs in the copy of this program that the test below starts: writes what the application paths derive from the
// module file name the system reports for the copy, one name per line, in UTF-8.
TEST(Companions, DISABLED_WrittenByTheCopy) {
  const std::wstring out = ReadEnv(kCompanionsEnv);
  ASSERT_FALSE(out.empty());
  TovApp app;
  fixture::SkimletSession session(app.ExeName, false);
  const std::wstring lines = app.ExeName + L"\n" + app.ExePath + L"\n" + app.TaskFileName() + L"\n" +
                             app.SetFileName() + L"\n" + app.SnapshotFileName() + L"\n" +
                             core::ChangeFileExt(app.ExeName, L".dll") + L"\n";
  ASSERT_TRUE(fixture::WriteFileBytes(out, core::WideToUtf8(lines)));
  OpenLink(L"h", L"");
  OpenLink(L"download", L"");
  ASSERT_TRUE(
      fixture::WriteFileBytes(out + L".links", core::WideToUtf8(session.opened.at(0) + L"\n" + session.opened.at(1))));
}

TEST(Companions, FollowTheExecutablesOwnPathAndName) {
  fixture::TempFolder temp;
  const std::wstring folder = temp.File(L"Ordner mit Leerzeichen \u0433\u0440\u0430\u0431 \u00e9t\u00e9");
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring copy = folder + L"\\grab2.exe";
  ASSERT_TRUE(::CopyFileW(base::ModulePath(nullptr).c_str(), copy.c_str(), FALSE));
  ASSERT_TRUE(fixture::WriteFileBytes(folder + L"\\grab2.chm", "help"));
  const std::wstring out = temp.File(L"companions.txt");

  ::SetEnvironmentVariableW(kCompanionsEnv, out.c_str());
  std::wstring command = L"\"" + copy + L"\" --gtest_also_run_disabled_tests "
                         L"--gtest_filter=Companions.DISABLED_WrittenByTheCopy";
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process));
  ::SetEnvironmentVariableW(kCompanionsEnv, nullptr);
  ASSERT_EQ(::WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  ASSERT_EQ(exitCode, 0u);

  // The system may report the folder in its long or short form; the names must follow whatever it reports.
  const std::wstring written = core::Utf8ToWide(fixture::ReadFileBytes(out));
  const std::wstring exe = written.substr(0, written.find(L'\n'));
  ASSERT_EQ(::CompareStringOrdinal(exe.c_str(), -1, copy.c_str(), -1, TRUE), CSTR_EQUAL) << exe;
  const std::wstring base = exe.substr(0, exe.size() - 4);  // without ".exe"
  const std::wstring dir = exe.substr(0, exe.rfind(L'\\') + 1);
  EXPECT_EQ(written, exe + L"\n" + dir + L"\n" + base + L".ini\n" + base + L".log\n" + exe + L".tmp.bmp\n" + base +
                         L".dll\n");
  const std::wstring links = core::Utf8ToWide(fixture::ReadFileBytes(out + L".links"));
  EXPECT_EQ(links, base + L".chm\nhttp://skimlet.example.org/en/skimlet/download.htm?p=skimlet&v=2024.16.511.3038");
}

TEST(ErrorReport, AnExceptionInARealHandlerOpensTheReportAndTheWindowCarriesOn) {
  fixture::ListsSession lists;
  TovFrmMain& form = lists.Start();
  // A folder in the set file's place: saving a new set fails inside the menu command.
  ASSERT_TRUE(::CreateDirectoryW(lists.SetFile().c_str(), nullptr));
  fixture::Type(form.ControlHandle(L"eLeft"), L"1");
  ::SetCapture(form.Handle());
  fixture::Choose(form, {L"&Add ..."}, L"pmSet");
  EXPECT_EQ(::GetCapture(), nullptr);
  ASSERT_EQ(lists.Reports().size(), 1u);
  const std::wstring report = lists.Reports()[0];
  EXPECT_EQ(report.rfind(L"http://skimlet.example.org/net/?a=err&e=", 0), 0u) << testing::PrintToString(report);
  EXPECT_EQ(report.substr(report.size() - 29), L"&p=skimlet&v=2024.16.511.3038");

  ASSERT_TRUE(::RemoveDirectoryW(lists.SetFile().c_str()));
  fixture::Choose(form, {L"&Add ..."}, L"pmSet");  // the same window handles the next one normally
  EXPECT_EQ(lists.SetEntries().size(), 1u);
  EXPECT_EQ(lists.Reports().size(), 1u);
  EXPECT_TRUE(::IsWindow(form.Handle()));
}

TEST(Help, OpensTheCompiledHelpWhenPresentElseThePdf) {
  fixture::TempFolder temp;
  const std::wstring exe = temp.File(L"tool.exe");
  fixture::SkimletSession session(exe, false);

  fixture::Choose(session.Main(), {L"&Help"});  // neither file: the ".pdf" name all the same
  ASSERT_TRUE(fixture::WriteFileBytes(temp.File(L"tool.pdf"), "pdf"));
  fixture::Choose(session.Main(), {L"&Help"});
  ASSERT_TRUE(fixture::WriteFileBytes(temp.File(L"tool.chm"), "chm"));
  fixture::Choose(session.Main(), {L"&Help"});
  ::DeleteFileW(temp.File(L"tool.pdf").c_str());
  fixture::Choose(session.Main(), {L"&Help"});

  const std::vector<std::wstring> expected = {temp.File(L"tool.pdf"), temp.File(L"tool.pdf"),
                                              temp.File(L"tool.chm"), temp.File(L"tool.chm")};
  EXPECT_EQ(session.opened, expected);
}

}  // namespace
