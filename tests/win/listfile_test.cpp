#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "base/Error.h"
#include "base/Handles.h"
#include "engine/ovListFile.h"
#include "support/TestFiles.h"

namespace {

using Lines = std::vector<std::wstring>;

// A fresh folder under the temporary folder, removed with everything in it.
class ListFileTest : public testing::Test {
 protected:
  std::wstring PathOf(const std::wstring& name) const { return folder_.File(name); }
  // Names in the folder, to see that no temporary file is left behind.
  std::vector<std::wstring> Entries() const { return folder_.FileNames(); }

 private:
  fixture::TempFolder folder_{L"skimlet-listfile"};
};

bool ExpectListFileError(const std::function<void()>& action, const std::wstring& path) {
  try {
    action();
  } catch (const base::Win32Error& e) {
    EXPECT_NE(e.Message().find(path), std::wstring::npos) << e.what();
    EXPECT_GT(e.Message().size(), path.size() + 6) << "the system's reason is missing: " << e.what();
    return true;
  }
  ADD_FAILURE() << "no base::Win32Error";
  return false;
}

TEST_F(ListFileTest, MissingFileIsAnEmptyList) {
  EXPECT_EQ(LoadListFile(PathOf(L"absent.ini")), Lines{});
  EXPECT_EQ(LoadListFile(PathOf(L"no-folder\\absent.ini")), Lines{});
}

TEST_F(ListFileTest, LoadsEveryEncodingAndLineEnd) {
  struct Case { std::string bytes; Lines want; };
  const Case cases[] = {
      {"Name=OK,Class=Button\r\n  100   50  800  600\r\n", {L"Name=OK,Class=Button", L"  100   50  800  600"}},
      {"a\rb\nc\r\n\r\nd", {L"a", L"b", L"c", L"", L"d"}},
      {"dup\r\ndup\r\nDUP\r\n", {L"dup", L"dup", L"DUP"}},
      {"\xEF\xBB\xBF\xD0\x97\xD0\xB0\xD0\xB4\r\nx\r\n", {L"\u0417\u0430\u0434", L"x"}},
      {std::string("\xFF\xFE\x17\x04\r\0\n\0x\0", 10), {L"\u0417", L"x"}},
      {std::string("\xFE\xFF\x04\x17\0\r\0x", 8), {L"\u0417", L"x"}},
      {"", {}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::wstring path = PathOf(L"load" + std::to_wstring(n++) + L".ini");
    ASSERT_TRUE(fixture::WriteFileBytes(path, c.bytes));
    EXPECT_EQ(LoadListFile(path), c.want) << testing::PrintToString(c.bytes);
  }
}

TEST_F(ListFileTest, LoadsGarbageAndHugeLines) {
  std::mt19937 random(7);
  std::string garbage(64 * 1024, '\0');
  for (char& b : garbage) b = static_cast<char>(random() & 0xFF);
  for (const char* mark : {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    const std::wstring path = PathOf(L"garbage.ini");
    ASSERT_TRUE(fixture::WriteFileBytes(path, mark + garbage));
    const Lines lines = LoadListFile(path);
    for (const std::wstring& line : lines) EXPECT_EQ(line.find_first_of(L"\r\n"), std::wstring::npos);
  }
  const Lines huge = {std::wstring(1 << 20, L'w'), L"next"};
  const std::wstring path = PathOf(L"huge.ini");
  SaveListFile(path, huge);
  EXPECT_EQ(fixture::ReadFileBytes(path).size(), (1u << 20) + 2 + 6);
  EXPECT_EQ(LoadListFile(path), huge);
}

TEST_F(ListFileTest, SavesInTheAnsiCodePageWithoutMark) {
  const std::wstring path = PathOf(L"tasks.ini");
  ASSERT_TRUE(fixture::WriteFileBytes(path, "\xEF\xBB\xBFold\r\n"));
  ASSERT_EQ(LoadListFile(path), Lines{L"old"});
  SaveListFile(path, {L"old", L"", L"\"Name=Untitled - Editor\",Class=EditorWnd", L"old"});
  EXPECT_EQ(fixture::ReadFileBytes(path), "old\r\n\r\n\"Name=Untitled - Editor\",Class=EditorWnd\r\nold\r\n");
  SaveListFile(path, {});
  EXPECT_EQ(fixture::ReadFileBytes(path), "");
  EXPECT_EQ(Entries(), std::vector<std::wstring>{L"tasks.ini"});
}

TEST_F(ListFileTest, KeepsTextTheCodePageCannotHold) {
  const std::wstring path = PathOf(L"tasks.ini");
  const Lines lines = {L"Name=plain", L"\"Name=\u4efb\u52a1 \u0417\u0430\u0434\u0430\u0447\u0430\",Class=Wnd"};
  SaveListFile(path, lines);
  const std::string bytes = fixture::ReadFileBytes(path);
  if (::GetACP() != CP_UTF8) {
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  }
  EXPECT_EQ(LoadListFile(path), lines);
}

TEST_F(ListFileTest, FolderInPlaceOfTheFileIsReported) {
  const std::wstring path = PathOf(L"folder.ini");
  ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
  ExpectListFileError([&] { LoadListFile(path); }, path);
  ExpectListFileError([&] { SaveListFile(path, {L"x"}); }, path);
  EXPECT_TRUE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Entries(), std::vector<std::wstring>{L"folder.ini"});
}

TEST_F(ListFileTest, LockedFileIsReportedAndKeptUnchanged) {
  const std::wstring path = PathOf(L"sets.log");
  const std::string original = "  100   50  800  600\r\nkeep me\r\n";
  ASSERT_TRUE(fixture::WriteFileBytes(path, original));
  {
    base::UniqueFile lock(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                       nullptr));
    ASSERT_TRUE(lock);
    ExpectListFileError([&] { LoadListFile(path); }, path);
    ExpectListFileError([&] { SaveListFile(path, {L"new line"}); }, path);
  }
  EXPECT_EQ(fixture::ReadFileBytes(path), original);
  EXPECT_EQ(Entries(), std::vector<std::wstring>{L"sets.log"});
  // Once released, the save goes through.
  SaveListFile(path, {L"new line"});
  EXPECT_EQ(fixture::ReadFileBytes(path), "new line\r\n");
}

TEST_F(ListFileTest, SaveIntoAMissingFolderIsReported) {
  const std::wstring path = PathOf(L"no-folder\\tasks.ini");
  ExpectListFileError([&] { SaveListFile(path, {L"x"}); }, L"tasks.ini");
}

TEST_F(ListFileTest, FileTooLargeToDecodeIsReported) {
  // One byte past what the text conversions take (their lengths are int); only the size is set, nothing written.
  const std::wstring path = PathOf(L"huge.log");
  {
    base::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER end{};
    end.QuadPart = 0x80000000ll;
    ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
  }
  ExpectListFileError([&] { LoadListFile(path); }, path);
}

}  // namespace
