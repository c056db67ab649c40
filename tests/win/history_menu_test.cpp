// The History submenu: what gets recorded, the captions, and choosing an entry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/ovMainForm.h"
#include "support/Drags.h"
#include "support/MainWindow.h"
#include "support/InspectFixtures.h"
#include "support/ListsFixture.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"

namespace {

using fixture::SkimletSession;

std::wstring Caption(int sequence, HWND w, const std::wstring& title, const std::wstring& className) {
  wchar_t number[32];
  std::swprintf(number, 32, L"%d~%.6X~", sequence, fixture::LowBits(w));
  return number + title + L"~" + className;
}

class HistoryTest : public ::testing::Test {
 protected:
  TovFrmMain& Main() { return session.Main(); }
  // The entries' captions, after "Add to history" and a separator.
  std::vector<std::wstring> Entries() { return fixture::MenuCaptions(fixture::Submenu(Main(), L"H&istory"), 2); }
  SkimletSession session;
};

TEST_F(HistoryTest, RecordsWorkedOnWindowsOnceWithTheirFirstCaption) {
  fixture::SolidWindow a(L"Window A", {100, 100, 400, 300}, RGB(200, 40, 40));
  fixture::SolidWindow b(L"Window B", {500, 100, 800, 300}, RGB(40, 160, 60));
  fixture::OwnedWindow dialog = fixture::MakeDialog(a.get(), L"Confirm", {100, 400, 400, 600});
  ASSERT_TRUE(dialog);
  fixture::Settle();

  // A pick alone records nothing, even though setting the boxes ran their handlers.
  fixture::DragPickerTo(Main(), a.get());
  EXPECT_EQ(Main().Target().Wnd, a.get());
  EXPECT_TRUE(Entries().empty());

  // Ticking "On top" records the target; unticking it records nothing new.
  const POINT onTop = fixture::CenterOf(Main().ControlHandle(L"cbTopmost"));
  fixture::ClickAt(onTop);
  ASSERT_TRUE(fixture::PollUntil([this] { return fixture::Checked(Main().ControlHandle(L"cbTopmost")); }));
  const std::wstring first = Caption(1, a.get(), L"Window A", fixture::kSolidClass);
  EXPECT_EQ(Entries(), std::vector<std::wstring>{first});
  fixture::ClickAt(onTop);
  ASSERT_TRUE(fixture::PollUntil([this] { return !fixture::Checked(Main().ControlHandle(L"cbTopmost")); }));
  EXPECT_EQ(Entries(), std::vector<std::wstring>{first});

  // A second window through "Add to history"; a renamed window keeps its first caption and is not added again.
  fixture::DragPickerTo(Main(), b.get());
  fixture::Choose(Main(), {L"H&istory", L"Add to history"});
  const std::wstring second = Caption(2, b.get(), L"Window B", fixture::kSolidClass);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second}));
  ::SetWindowTextW(b.get(), L"Renamed B");
  Main().ShowInfo(b.get());
  fixture::Choose(Main(), {L"H&istory", L"Add to history"});
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second}));

  // A dialog's caption carries its system class name.
  Main().ShowInfo(dialog.get());
  fixture::Choose(Main(), {L"H&istory", L"Add to history"});
  const std::wstring third = Caption(3, dialog.get(), L"Confirm", L"#32770");
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second, third}));

  // Choosing entry 1 makes A the target again and refills the panel; nothing is added.
  fixture::Choose(Main(), {L"H&istory", first});
  EXPECT_EQ(Main().Target().Wnd, a.get());
  EXPECT_EQ(fixture::MemoLines(Main()).at(0), L"HWND =" + fixture::HexDec(fixture::LowBits(a.get())));
  EXPECT_EQ(fixture::MemoLines(Main()).at(2), L"Title=Window A");
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second, third}));
}

TEST_F(HistoryTest, NothingIsRecordedWithoutALiveTarget) {
  fixture::Choose(Main(), {L"H&istory", L"Add to history"});  // no target yet
  {
    fixture::SolidWindow gone(L"Gone", {100, 100, 400, 300}, RGB(10, 10, 10));
    Main().ShowInfo(gone.get());
    fixture::Choose(Main(), {L"H&istory", L"Add to history"});
    EXPECT_EQ(Entries().size(), 1u);
  }
  fixture::Choose(Main(), {L"H&istory", L"Add to history"});
  fixture::Click(Main().ControlHandle(L"cbVisible"));
  fixture::Slide(Main().ControlHandle(L"tp"), 10);
  EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(HistoryTest, ChoosingAnEntryOfAGoneWindowShowsWhatTheSystemReports) {
  HWND stale = nullptr;
  {
    fixture::SolidWindow gone(L"Gone soon", {100, 100, 400, 300}, RGB(10, 10, 10));
    Main().ShowInfo(gone.get());
    fixture::Choose(Main(), {L"H&istory", L"Add to history"});
    stale = gone.get();
  }
  fixture::Choose(Main(), {L"H&istory", Caption(1, stale, L"Gone soon", fixture::kSolidClass)});
  EXPECT_EQ(Main().Target().Wnd, stale);
  EXPECT_FALSE(Main().Target().IsValid());
  EXPECT_EQ(fixture::MemoLines(Main()).size(), 3u);  // handle, identifier and style only
  EXPECT_EQ(Entries().size(), 1u);
}

}  // namespace
