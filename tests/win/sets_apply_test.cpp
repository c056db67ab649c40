// Position sets: storing the edit boxes' texts from "&Add ..." and applying a stored set to the target.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cwchar>

#include "app/ovMainForm.h"
#include "core/SetLine.h"
#include "engine/ovListFile.h"
#include "support/InspectFixtures.h"
#include "support/ListsFixture.h"
#include "support/MainWindow.h"
#include "support/TestFiles.h"

namespace {

using Lines = std::vector<std::wstring>;
using Texts = std::array<std::wstring, 4>;

void Type(TovFrmMain& main, const Texts& texts) {
  fixture::Type(main.ControlHandle(L"eLeft"), texts[0]);
  fixture::Type(main.ControlHandle(L"eTop"), texts[1]);
  fixture::Type(main.ControlHandle(L"eWidth"), texts[2]);
  fixture::Type(main.ControlHandle(L"eHeight"), texts[3]);
}

Texts Boxes(TovFrmMain& main) {
  Texts texts;
  const wchar_t* boxes[] = {L"eLeft", L"eTop", L"eWidth", L"eHeight"};
  for (std::size_t i = 0; i < 4; ++i) texts[i] = fixture::TextOf(main.ControlHandle(boxes[i]));
  return texts;
}

void ApplySet(TovFrmMain& main, const std::wstring& caption) { fixture::Choose(main, {caption}, L"pmSet"); }

// Whether a history entry names the window's handle.
bool InHistory(TovFrmMain& main, HWND window) {
  wchar_t handle[16];
  std::swprintf(handle, 16, L"~%.6X~", fixture::LowBits(window));
  for (const std::wstring& caption : fixture::MenuCaptions(fixture::Submenu(main, L"H&istory"), 2)) {
    if (caption.find(handle) != std::wstring::npos) return true;
  }
  return false;
}

TEST(PositionSets, AddStoresEachDistinctCaptionOnce) {
  fixture::ListsSession lists;
  // A stored set that differs from one typed below only in letter case.
  ASSERT_TRUE(fixture::WriteFileBytes(lists.SetFile(), "  ABC               \r\n"));
  TovFrmMain& main = lists.Start();
  // Each step: the four texts typed, then "&Add ..."; whether the file is written is seen by deleting it first.
  struct Step {
    Texts typed;
    bool newEntry;
    bool written;
  };
  const Step steps[] = {
      {{L"100", L"50", L"800", L"600"}, true, true},
      {{L"100", L"50", L"800", L"600"}, false, false},    // the same again
      {{L" 100", L"50", L"800", L" 600"}, false, false},  // a leading blank gives the same field
      {{L"abc", L"", L"", L""}, true, false},             // a new entry, but the list holds it in another case
      {{L"123456", L"50", L"800", L"600"}, true, true},   // a long text is kept whole and shifts the rest
      {{L"", L"", L"", L""}, true, true},
  };
  const std::wstring stored = L"  ABC               ";
  Lines entries{stored};
  Lines file{stored};
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::PrintToString(step.typed[0]));
    ASSERT_TRUE(::DeleteFileW(lists.SetFile().c_str()) || !fixture::FileExists(lists.SetFile()));
    Type(main, step.typed);
    fixture::Choose(main, {L"&Add ..."}, L"pmSet");
    const std::wstring line = core::FormatSetLine(step.typed[0], step.typed[1], step.typed[2], step.typed[3]);
    if (step.newEntry) entries.push_back(line);
    if (step.written) file.push_back(line);
    EXPECT_EQ(lists.SetEntries(), entries);
    EXPECT_EQ(main.SetList(), file);
    EXPECT_EQ(fixture::FileExists(lists.SetFile()), step.written);
    if (step.written) { EXPECT_EQ(LoadListFile(lists.SetFile()), file); }
    // The boxes are read, not changed.
    EXPECT_EQ(Boxes(main), step.typed);
  }
  EXPECT_EQ(entries[1], L"  100   50  800  600");
  EXPECT_EQ(entries[3], L"123456   50  800  600");
  EXPECT_EQ(entries[4], std::wstring(20, L' '));
  EXPECT_TRUE(lists.Reports().empty());
}

TEST(PositionSets, ApplyingFillsTheBoxesAndMovesTheTarget) {
  fixture::ListsSession lists;
  ASSERT_TRUE(fixture::WriteFileBytes(lists.SetFile(),
                                      "  100   50  800  600\r\nabc\r\n  200   80  300  250extra\r\n    1    2\r\n"));
  TovFrmMain& main = lists.Start();
  const std::string before = fixture::ReadFileBytes(lists.SetFile());
  fixture::OwnedWindow probe = fixture::MakeProbe(L"Movable");
  ASSERT_TRUE(probe);
  RECT start{};
  ::GetWindowRect(probe.get(), &start);

  // Without a target the boxes take the set all the same and nothing moves.
  ApplySet(main, L"  100   50  800  600");
  EXPECT_EQ(Boxes(main), (Texts{L"  100", L"   50", L"  800", L"  600"}));
  RECT rect{};
  ::GetWindowRect(probe.get(), &rect);
  EXPECT_TRUE(::EqualRect(&rect, &start));

  main.ShowInfo(probe.get());
  ASSERT_EQ(main.Target().Wnd, probe.get());
  struct Case {
    const wchar_t* caption;
    Texts boxes;
    RECT want;  // where the window is afterwards
    bool recorded;
  };
  const Case cases[] = {
      {L"abc", {L"abc", L"", L"", L""}, start, false},
      {L"    1    2", {L"    1", L"    2", L"", L""}, start, false},
      {L"  100   50  800  600", {L"  100", L"   50", L"  800", L"  600"}, {100, 50, 900, 650}, true},
      {L"  200   80  300  250extra", {L"  200", L"   80", L"  300", L"  250"}, {200, 80, 500, 330}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.caption)));
    const bool wasRecorded = InHistory(main, probe.get());
    ApplySet(main, c.caption);
    EXPECT_EQ(Boxes(main), c.boxes);
    ::GetWindowRect(probe.get(), &rect);
    EXPECT_TRUE(::EqualRect(&rect, &c.want))
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    if (c.recorded) { EXPECT_TRUE(InHistory(main, probe.get())); }
    if (!c.recorded) { EXPECT_EQ(InHistory(main, probe.get()), wasRecorded); }
  }
  // Applying never writes the file.
  EXPECT_EQ(fixture::ReadFileBytes(lists.SetFile()), before);
  EXPECT_TRUE(lists.Reports().empty());
}

}  // namespace
