// The History submenu: what gets recorded, the captions, and choosing an entry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/ovMainForm.h"
#include "support/MenuReader.h"
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
  // The entries' captions, as the menu item objects and the real menu hold them.
  std::vector<std::wstring> Entries() {
    const std::vector<std::wstring> captions = fixture::Captions(*Main().miHistory, 2);
    std::vector<std::wstring> shown;
    const std::vector<gui::MenuEntry> menu = gui::ReadMenu(Main().miHistory->Handle());
    for (std::size_t i = 2; i < menu.size(); ++i) shown.push_back(menu[i].text);
    EXPECT_EQ(shown, captions);
    return captions;
  }
  void Drag(HWND over) { fixture::DragPickerTo(Main(), over); }
  SkimletSession session;
};

TEST_F(HistoryTest, RecordsWorkedOnWindowsOnceWithTheirFirstCaption) {
  fixture::SolidWindow a(L"Window A", {100, 100, 400, 300}, RGB(200, 40, 40));
  fixture::SolidWindow b(L"Window B", {500, 100, 800, 300}, RGB(40, 160, 60));
  fixture::OwnedWindow dialog = fixture::MakeDialog(a.get(), L"Confirm", {100, 400, 400, 600});
  ASSERT_TRUE(dialog);
  fixture::Settle();

  // A pick alone records nothing, even though setting the boxes ran their handlers.
  Drag(a.get());
  EXPECT_EQ(Main().FUtils.Wnd, a.get());
  EXPECT_TRUE(Entries().empty());

  // Ticking "On top" records the target; unticking it records nothing new.
  const POINT onTop = fixture::CenterOf(Main().cbTopmost.Handle());
  fixture::ClickAt(onTop);
  ASSERT_TRUE(fixture::PollUntil([this] { return Main().cbTopmost.Checked(); }));
  const std::wstring first = Caption(1, a.get(), L"Window A", fixture::kSolidClass);
  EXPECT_EQ(Entries(), std::vector<std::wstring>{first});
  EXPECT_EQ(Main().miHistory->Item(2).Tag(), reinterpret_cast<LONG_PTR>(a.get()));
  fixture::ClickAt(onTop);
  ASSERT_TRUE(fixture::PollUntil([this] { return !Main().cbTopmost.Checked(); }));
  EXPECT_EQ(Entries(), std::vector<std::wstring>{first});

  // A second window through "Add to history"; a renamed window keeps its first caption and is not added again.
  Drag(b.get());
  Main().miAddHistory->Click();
  const std::wstring second = Caption(2, b.get(), L"Window B", fixture::kSolidClass);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second}));
  ::SetWindowTextW(b.get(), L"Renamed B");
  Main().ShowInfo(b.get());
  Main().miAddHistory->Click();
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second}));

  // A dialog's caption carries its system class name.
  Main().ShowInfo(dialog.get());
  Main().miAddHistory->Click();
  const std::wstring third = Caption(3, dialog.get(), L"Confirm", L"#32770");
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second, third}));

  // Choosing entry 1 makes A the target again and refills the panel; nothing is added.
  Main().miHistory->Item(2).Click();
  EXPECT_EQ(Main().FUtils.Wnd, a.get());
  EXPECT_EQ(fixture::MemoLines(Main()).at(0), L"HWND =" + fixture::HexDec(fixture::LowBits(a.get())));
  EXPECT_EQ(fixture::MemoLines(Main()).at(2), L"Title=Window A");
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{first, second, third}));
}

TEST_F(HistoryTest, NothingIsRecordedWithoutALiveTarget) {
  Main().miAddHistory->Click();  // no target yet
  {
    fixture::SolidWindow gone(L"Gone", {100, 100, 400, 300}, RGB(10, 10, 10));
    Main().ShowInfo(gone.get());
    Main().miAddHistory->Click();
    EXPECT_EQ(Entries().size(), 1u);
  }
  Main().miAddHistory->Click();
  Main().cbVisible.SetChecked(!Main().cbVisible.Checked());
  Main().tp.SetPosition(10);
  EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(HistoryTest, ChoosingAnEntryOfAGoneWindowShowsWhatTheSystemReports) {
  HWND stale = nullptr;
  {
    fixture::SolidWindow gone(L"Gone soon", {100, 100, 400, 300}, RGB(10, 10, 10));
    Main().ShowInfo(gone.get());
    Main().miAddHistory->Click();
    stale = gone.get();
  }
  Main().miHistory->Item(2).Click();
  EXPECT_EQ(Main().FUtils.Wnd, stale);
  EXPECT_FALSE(Main().FUtils.IsValid());
  EXPECT_EQ(fixture::MemoLines(Main()).size(), 3u);  // handle, identifier and style only
  EXPECT_EQ(Entries().size(), 1u);
}

}  // namespace
