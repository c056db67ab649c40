// The task and set files at start: what reaches the lists and menus, what is reported, and that start-up never
// writes; then saves that fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <random>
#include <set>

#include "app/ovMainForm.h"
#include "base/Handles.h"
#include "core/SetLine.h"
#include "core/ShownText.h"
#include "engine/ovListFile.h"
#include "support/InspectFixtures.h"
#include "support/ListsFixture.h"
#include "support/MainWindow.h"
#include "support/MenuReader.h"
#include "support/TestFiles.h"

namespace {

using fixture::ListsSession;
using Lines = std::vector<std::wstring>;

// UTF-16 bytes of the text (which carries its own byte-order mark, U+FEFF, where one is wanted).
std::string Utf16(const std::wstring& text, bool bigEndian) {
  std::string bytes;
  for (wchar_t c : text) {
    const char high = static_cast<char>((c >> 8) & 0xFF);
    const char low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// The captions a menu shows for the lines: one per non-empty line (per distinct one, where asked), cut to the
// menu's length.
Lines Shown(const Lines& lines, bool distinctOnly) {
  Lines shown;
  std::set<std::wstring> seen;
  for (const auto& line : lines) {
    if (!line.empty() && (seen.insert(line).second || !distinctOnly)) {
      const std::wstring caption = core::ShownText(line, core::kMenuTextLength);
      shown.push_back(caption.substr(0, caption.find(L'\0')));  // a menu's text ends at a NUL
    }
  }
  return shown;
}

void ExpectLoaded(ListsSession& lists, const Lines& tasks, const Lines& sets) {
  TovFrmMain& main = lists.Main();
  EXPECT_EQ(main.TaskList(), tasks);
  EXPECT_EQ(main.SetList(), sets);
  EXPECT_EQ(lists.TaskEntries(), Shown(tasks, false));
  EXPECT_EQ(lists.SetEntries(), Shown(sets, true));
  // A task entry does nothing when chosen (a set entry applies its set: see the position sets' tests).
  if (tasks.empty()) return;
  const std::wstring memo = fixture::MemoText(main);
  fixture::Choose(main, {L"&Task", lists.TaskEntries()[0]});
  EXPECT_EQ(fixture::MemoText(main), memo);
  EXPECT_EQ(main.TaskList(), tasks);
}

TEST(ListFilesAtStart, LoadIntoListsAndMenusWithoutWriting) {
  struct Case {
    const char* name;
    std::optional<std::string> tasks, sets;
    Lines taskLines, setLines;
  };
  const std::string megabyte(1 << 20, 'x');
  const Case cases[] = {
      {"no files", std::nullopt, std::nullopt, {}, {}},
      {"empty files", "", "", {}, {}},
      {"ANSI with repeated and empty lines",
       "Name=OK,Class=Button\r\n\r\nName=OK,Class=Button\r\nlast",
       "  100   50  800  600\r\n  abc\r\n  100   50  800  600\r\n  ABC\r\n",
       {L"Name=OK,Class=Button", L"", L"Name=OK,Class=Button", L"last"},
       {L"  100   50  800  600", L"  abc", L"  100   50  800  600", L"  ABC"}},
      {"UTF-8 with mark, mixed line ends",
       "\xEF\xBB\xBF" "Name=Caf\xC3\xA9\rName=x\nName=y\r\n\n",
       "\xEF\xBB\xBF    1\n\r\n",
       {L"Name=Caf\u00e9", L"Name=x", L"Name=y", L""},
       {L"    1", L""}},
      {"UTF-16 both byte orders",
       Utf16(L"\uFEFF\"Name=A, \u00c5\",Class=K\r\nsecond\n", false),
       Utf16(L"\uFEFF  100   50  800  600\r\n\u0416\r\n", true),
       {L"\"Name=A, \u00c5\",Class=K", L"second"},
       {L"  100   50  800  600", L"\u0416"}},
      {"a line of 1 MB", megabyte + "\r\nshort\r\n", "short\r\n" + megabyte,
       {std::wstring(megabyte.begin(), megabyte.end()), L"short"},
       {L"short", std::wstring(megabyte.begin(), megabyte.end())}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListsSession lists;
    if (c.tasks) {
      ASSERT_TRUE(fixture::WriteFileBytes(lists.TaskFile(), *c.tasks));
    }
    if (c.sets) {
      ASSERT_TRUE(fixture::WriteFileBytes(lists.SetFile(), *c.sets));
    }
    lists.Start();
    ExpectLoaded(lists, c.taskLines, c.setLines);
    EXPECT_TRUE(lists.Reports().empty());
    // Start-up writes nothing, not even over duplicates.
    EXPECT_EQ(fixture::FileExists(lists.TaskFile()), c.tasks.has_value());
    EXPECT_EQ(fixture::FileExists(lists.SetFile()), c.sets.has_value());
    if (c.tasks) { EXPECT_EQ(fixture::ReadFileBytes(lists.TaskFile()), *c.tasks); }
    if (c.sets) { EXPECT_EQ(fixture::ReadFileBytes(lists.SetFile()), *c.sets); }
  }
}

TEST(ListFilesAtStart, BinaryGarbageIsListedLineByLine) {
  std::mt19937 random(4711);
  for (int round = 0; round < 3; ++round) {
    std::string tasks(3000, '\0'), sets(3000, '\0');
    for (char& c : tasks) c = static_cast<char>(random());
    for (char& c : sets) c = static_cast<char>(random());
    if (round == 1) tasks.insert(0, "\xFF\xFE");  // odd-length UTF-16 after the mark
    if (round == 2) sets.insert(0, "\xEF\xBB\xBF");
    ListsSession lists;
    ASSERT_TRUE(fixture::WriteFileBytes(lists.TaskFile(), tasks));
    ASSERT_TRUE(fixture::WriteFileBytes(lists.SetFile(), sets));
    const Lines taskLines = LoadListFile(lists.TaskFile());
    const Lines setLines = LoadListFile(lists.SetFile());
    lists.Start();
    SCOPED_TRACE(round);
    ExpectLoaded(lists, taskLines, setLines);
    EXPECT_TRUE(lists.Reports().empty());
    EXPECT_EQ(fixture::ReadFileBytes(lists.TaskFile()), tasks);
    EXPECT_EQ(fixture::ReadFileBytes(lists.SetFile()), sets);
    // The runner goes through garbage lines without harm.
    fixture::SkimletSession::RunIdlePasses(60);
  }
}

TEST(ListFilesAtStart, HugeFilesStartPromptlyWithBoundedMenusAndWholeLists) {
  std::string tasks, sets;
  for (int i = 0; i < 50000; ++i) tasks += "Name=Window " + std::to_string(i) + ",Class=K\r\r";  // every other line empty
  for (int i = 0; i < 50000; ++i) sets += "  " + std::to_string(i) + "   50  800  600" + std::string(300, 'x') + "\r\n";
  ListsSession lists;
  ASSERT_TRUE(fixture::WriteFileBytes(lists.TaskFile(), tasks));
  ASSERT_TRUE(fixture::WriteFileBytes(lists.SetFile(), sets));
  const auto start = std::chrono::steady_clock::now();
  TovFrmMain& main = lists.Start();
  // A hang, not a speed: before, this took minutes.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_TRUE(::IsWindowVisible(main.Handle()));

  EXPECT_EQ(main.TaskList().size(), 100000u);
  EXPECT_EQ(main.SetList().size(), 50000u);
  const Lines taskEntries = lists.TaskEntries();
  ASSERT_EQ(taskEntries.size(), TovListMenu::kMaxEntries + 1);
  EXPECT_EQ(taskEntries[1], L"Name=Window 1,Class=K");
  EXPECT_EQ(taskEntries.back(), core::NotShownCaption(50000 - TovListMenu::kMaxEntries));
  EXPECT_FALSE(gui::ReadMenu(fixture::Submenu(main, L"&Task")).back().enabled);
  const Lines setEntries = lists.SetEntries();
  ASSERT_EQ(setEntries.size(), TovListMenu::kMaxEntries + 1);
  EXPECT_EQ(setEntries[0], core::ShownText(main.SetList()[0], core::kMenuTextLength));
  EXPECT_EQ(setEntries.back(), core::NotShownCaption(50000 - TovListMenu::kMaxEntries));

  // A new set is counted once, however often it is added.
  fixture::Type(main.ControlHandle(L"eLeft"), L"7");
  for (int i = 0; i < 2; ++i) fixture::Choose(main, {L"&Add ..."}, L"pmSet");
  EXPECT_EQ(main.SetList().size(), 50001u);
  EXPECT_EQ(lists.SetEntries().back(), core::NotShownCaption(50001 - TovListMenu::kMaxEntries));
}

// Makes one list file unreadable in a given way for as long as it lives.
class Obstacle {
 public:
  enum Kind { kFolder, kLocked };
  Obstacle(Kind kind, const std::wstring& path, const std::string& content) {
    if (kind == kFolder) {
      EXPECT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
    } else {
      EXPECT_TRUE(fixture::WriteFileBytes(path, content));  // a constructor cannot ASSERT
      lock_.reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      EXPECT_TRUE(lock_);
    }
  }
  void Release() { lock_.reset(); }

 private:
  base::UniqueFile lock_;
};

TEST(ListFilesAtStart, UnreadableFileIsReportedAndTheRestGoesOn) {
  struct Case {
    const char* name;
    Obstacle::Kind kind;
    bool taskFileBad;
  };
  const Case cases[] = {
      {"folder for the task file", Obstacle::kFolder, true},
      {"locked task file", Obstacle::kLocked, true},
      {"folder for the set file", Obstacle::kFolder, false},
      {"locked set file", Obstacle::kLocked, false},
  };
  const std::string taskContent = "Name=Kept,Class=Kept\r\n";
  const std::string setContent = "    1    2    3    4\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListsSession lists;
    const std::wstring badFile = c.taskFileBad ? lists.TaskFile() : lists.SetFile();
    ASSERT_TRUE(fixture::WriteFileBytes(c.taskFileBad ? lists.SetFile() : lists.TaskFile(),
                                        c.taskFileBad ? setContent : taskContent));
    Obstacle obstacle(c.kind, badFile, c.taskFileBad ? taskContent : setContent);
    TovFrmMain& main = lists.Start();

    // One report naming the file; that list is empty, the other one loaded, the window is up.
    ASSERT_EQ(lists.Reports().size(), 1u);
    const std::wstring badName = c.taskFileBad ? L"skimlet.ini" : L"skimlet.log";
    EXPECT_NE(lists.Reports()[0].find(badName), std::wstring::npos) << lists.Reports()[0];
    EXPECT_TRUE(::IsWindowVisible(main.Handle()));
    if (c.taskFileBad) {
      ExpectLoaded(lists, {}, {L"    1    2    3    4"});
    } else {
      ExpectLoaded(lists, {L"Name=Kept,Class=Kept"}, {});
    }
    fixture::SkimletSession::RunIdlePasses(20);

    // Adding still works on both lists: saved where the file was read, refused and reported where it was not
    // (even after the lock is gone, a save would replace lines that were never read).
    obstacle.Release();
    fixture::OwnedWindow probe = fixture::MakeProbe(L"Add me");
    ASSERT_TRUE(probe);
    main.ShowInfo(probe.get());
    fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
    fixture::Type(main.ControlHandle(L"eLeft"), L"5");
    fixture::Type(main.ControlHandle(L"eTop"), L"6");
    fixture::Type(main.ControlHandle(L"eWidth"), L"7");
    fixture::Type(main.ControlHandle(L"eHeight"), L"8");
    fixture::Choose(main, {L"&Add ..."}, L"pmSet");

    const std::wstring newTask = L"\"Name=Add me\",Class=SkimletProbe";
    const std::wstring newSet = L"    5    6    7    8";
    // A refused add is undone: that list and its menu stay empty.
    EXPECT_EQ(lists.TaskEntries(), (c.taskFileBad ? Lines{} : Lines{L"Name=Kept,Class=Kept", newTask}));
    EXPECT_EQ(lists.SetEntries(), (c.taskFileBad ? Lines{L"    1    2    3    4", newSet} : Lines{}));
    ASSERT_EQ(lists.Reports().size(), 2u);
    EXPECT_NE(lists.Reports()[1].find(badName), std::wstring::npos) << lists.Reports()[1];
    if (c.taskFileBad) {
      EXPECT_EQ(LoadListFile(lists.SetFile()), (Lines{L"    1    2    3    4", newSet}));
    } else {
      EXPECT_EQ(LoadListFile(lists.TaskFile()), (Lines{L"Name=Kept,Class=Kept", newTask}));
    }
    if (c.kind == Obstacle::kLocked) {
      EXPECT_EQ(fixture::ReadFileBytes(badFile), c.taskFileBad ? taskContent : setContent);
    } else {
      EXPECT_TRUE(::GetFileAttributesW(badFile.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    }
  }
}

// Ways to make a save fail that fail under Wine as on Windows. Read-only attributes are not among them: on a folder
// the attribute does not stop files from being created, and a read-only file is replaced all the same under Wine
// running as root.
class SaveBlocker {
 public:
  enum Kind { kLocked, kFolderForTemporary };
  SaveBlocker(Kind kind, const std::wstring& path) {
    switch (kind) {
      case kLocked:
        lock_.reset(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(lock_);
        break;
      case kFolderForTemporary:
        // The save writes "<file>.<process id>.part" first and then moves it over the file.
        temporary_ = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".part";
        EXPECT_TRUE(::CreateDirectoryW(temporary_.c_str(), nullptr));
        break;
    }
  }
  ~SaveBlocker() { Release(); }
  void Release() {
    lock_.reset();
    if (!temporary_.empty()) ::RemoveDirectoryW(temporary_.c_str());
    temporary_.clear();
  }

 private:
  std::wstring temporary_;
  base::UniqueFile lock_;
};

TEST(ListFilesSaving, FailedAddIsReportedAndUndoneSoThatAddingAgainSaves) {
  struct Case {
    const char* name;
    SaveBlocker::Kind kind;
  };
  const Case cases[] = {
      {"locked file", SaveBlocker::kLocked},
      {"folder in place of the temporary file", SaveBlocker::kFolderForTemporary},
  };
  const std::string setContent = "  100   50  800  600\r\n";
  const std::string taskContent = "Name=Old,Class=Old\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListsSession lists;
    ASSERT_TRUE(fixture::WriteFileBytes(lists.SetFile(), setContent));
    ASSERT_TRUE(fixture::WriteFileBytes(lists.TaskFile(), taskContent));
    TovFrmMain& main = lists.Start();
    fixture::OwnedWindow first = fixture::MakeProbe(L"First");
    ASSERT_TRUE(first);
    const auto addBoth = [&] {
      main.ShowInfo(first.get());
      fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
      fixture::Type(main.ControlHandle(L"eLeft"), L"1");
      for (const wchar_t* box : {L"eTop", L"eWidth", L"eHeight"}) fixture::Type(main.ControlHandle(box), L"");
      fixture::Choose(main, {L"&Add ..."}, L"pmSet");
    };
    {
      SaveBlocker setBlocker(c.kind, lists.SetFile());
      SaveBlocker taskBlocker(c.kind, lists.TaskFile());
      addBoth();
      EXPECT_EQ(lists.Reports().size(), 2u);
      // Neither the menus nor the lists (which the runner reads) keep an entry that was not saved.
      EXPECT_EQ(lists.SetEntries(), (Lines{L"  100   50  800  600"}));
      EXPECT_EQ(lists.TaskEntries(), (Lines{L"Name=Old,Class=Old"}));
      EXPECT_EQ(main.SetList().size(), 1u);
      EXPECT_EQ(main.TaskList().size(), 1u);
    }
    EXPECT_EQ(fixture::ReadFileBytes(lists.SetFile()), setContent);
    EXPECT_EQ(fixture::ReadFileBytes(lists.TaskFile()), taskContent);

    // The same adds once the obstacle is gone are saved.
    addBoth();
    EXPECT_EQ(lists.Reports().size(), 2u);
    EXPECT_EQ(lists.SetEntries(), (Lines{L"  100   50  800  600", core::FormatSetLine(L"1", L"", L"", L"")}));
    EXPECT_EQ(lists.TaskEntries(), (Lines{L"Name=Old,Class=Old", L"Name=First,Class=SkimletProbe"}));
    EXPECT_EQ(fixture::ReadFileBytes(lists.SetFile()), setContent + "    1               \r\n");
    EXPECT_EQ(fixture::ReadFileBytes(lists.TaskFile()), taskContent + "Name=First,Class=SkimletProbe\r\n");
  }
}

TEST(ListFilesSaving, MarkedFileIsRewrittenInTheCodePage) {
  ListsSession lists;
  ASSERT_TRUE(fixture::WriteFileBytes(lists.TaskFile(), "\xEF\xBB\xBF\"Name=Caf\xC3\xA9, Bar\",Class=K\r\n"));
  TovFrmMain& main = lists.Start();
  EXPECT_EQ(lists.TaskEntries(), Lines{L"\"Name=Caf\u00e9, Bar\",Class=K"});
  fixture::OwnedWindow probe = fixture::MakeProbe(L"New");
  main.ShowInfo(probe.get());
  fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
  const std::string bytes = fixture::ReadFileBytes(lists.TaskFile());
  // The accented letter fits both code pages Wine uses here (1252 and UTF-8), so no mark is written.
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(LoadListFile(lists.TaskFile()),
            (Lines{L"\"Name=Caf\u00e9, Bar\",Class=K", L"Name=New,Class=SkimletProbe"}));
}

}  // namespace
