#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "gui/Handles.h"
#include "lists/ovListFile.h"

namespace {

using Lines = std::vector<std::wstring>;

// A fresh folder under the temporary folder, removed with everything in it.
class ListFileTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"skimlet-listfile-" + std::to_wstring(::GetCurrentProcessId());
    ASSERT_TRUE(::CreateDirectoryW(dir_.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override { RemoveTree(dir_); }

  std::wstring PathOf(const std::wstring& name) const { return dir_ + L"\\" + name; }

  static void WriteBytes(const std::wstring& path, const std::string& bytes) {
    gui::UniqueFile f(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(f);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }
  static std::string ReadBytes(const std::wstring& path) {
    gui::UniqueFile f(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return "<missing>";
    std::string bytes(::GetFileSize(f.get(), nullptr), '\0');
    DWORD got = 0;
    ::ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
  }
  // Names in the folder, to see that no temporary file is left behind.
  std::vector<std::wstring> Entries() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((dir_ + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      const std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
  }

 private:
  static void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = dir + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(full);
        } else {
          ::DeleteFileW(full.c_str());
        }
      } while (::FindNextFileW(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
  }

  std::wstring dir_;
};

bool ExpectListFileError(const std::function<void()>& action, const std::wstring& path) {
  try {
    action();
  } catch (const ListFileError& e) {
    EXPECT_NE(e.Message().find(path), std::wstring::npos) << e.what();
    EXPECT_GT(e.Message().size(), path.size() + 6) << "the system's reason is missing: " << e.what();
    return true;
  }
  ADD_FAILURE() << "no ListFileError";
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
    WriteBytes(path, c.bytes);
    EXPECT_EQ(LoadListFile(path), c.want) << testing::PrintToString(c.bytes);
  }
}

TEST_F(ListFileTest, LoadsGarbageAndHugeLines) {
  std::mt19937 random(7);
  std::string garbage(64 * 1024, '\0');
  for (char& b : garbage) b = static_cast<char>(random() & 0xFF);
  for (const char* mark : {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    const std::wstring path = PathOf(L"garbage.ini");
    WriteBytes(path, mark + garbage);
    const Lines lines = LoadListFile(path);
    for (const std::wstring& line : lines) EXPECT_EQ(line.find_first_of(L"\r\n"), std::wstring::npos);
  }
  const Lines huge = {std::wstring(1 << 20, L'w'), L"next"};
  const std::wstring path = PathOf(L"huge.ini");
  SaveListFile(path, huge);
  EXPECT_EQ(ReadBytes(path).size(), (1u << 20) + 2 + 6);
  EXPECT_EQ(LoadListFile(path), huge);
}

TEST_F(ListFileTest, SavesInTheAnsiCodePageWithoutMark) {
  const std::wstring path = PathOf(L"tasks.ini");
  WriteBytes(path, "\xEF\xBB\xBFold\r\n");
  ASSERT_EQ(LoadListFile(path), Lines{L"old"});
  SaveListFile(path, {L"old", L"", L"\"Name=Untitled - Editor\",Class=EditorWnd", L"old"});
  EXPECT_EQ(ReadBytes(path), "old\r\n\r\n\"Name=Untitled - Editor\",Class=EditorWnd\r\nold\r\n");
  SaveListFile(path, {});
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(Entries(), std::vector<std::wstring>{L"tasks.ini"});
}

TEST_F(ListFileTest, KeepsTextTheCodePageCannotHold) {
  const std::wstring path = PathOf(L"tasks.ini");
  const Lines lines = {L"Name=plain", L"\"Name=\u4efb\u52a1 \u0417\u0430\u0434\u0430\u0447\u0430\",Class=Wnd"};
  SaveListFile(path, lines);
  const std::string bytes = ReadBytes(path);
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
  WriteBytes(path, original);
  {
    gui::UniqueFile lock(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                       nullptr));
    ASSERT_TRUE(lock);
    ExpectListFileError([&] { LoadListFile(path); }, path);
    ExpectListFileError([&] { SaveListFile(path, {L"new line"}); }, path);
  }
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_EQ(Entries(), std::vector<std::wstring>{L"sets.log"});
  // Once released, the save goes through.
  SaveListFile(path, {L"new line"});
  EXPECT_EQ(ReadBytes(path), "new line\r\n");
}

TEST_F(ListFileTest, SaveIntoAMissingFolderIsReported) {
  const std::wstring path = PathOf(L"no-folder\\tasks.ini");
  ExpectListFileError([&] { SaveListFile(path, {L"x"}); }, L"tasks.ini");
}

TEST_F(ListFileTest, FileTooLargeToDecodeIsReported) {
  // One byte past what the text conversions take (their lengths are int); only the size is set, nothing written.
  const std::wstring path = PathOf(L"huge.log");
  {
    gui::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER end{};
    end.QuadPart = 0x80000000ll;
    ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
  }
  ExpectListFileError([&] { LoadListFile(path); }, path);
}

}  // namespace
