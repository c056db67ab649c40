// Making a close-or-click task from the target: the exact line, the target afterwards, the file and the menu; and
// what the runner then does with tasks made from real dialog buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "app/ovMainForm.h"
#include "core/TaskLine.h"
#include "engine/ovListFile.h"
#include "support/InspectFixtures.h"
#include "support/ListsFixture.h"
#include "support/MainWindow.h"
#include "support/Poll.h"
#include "support/TestFiles.h"

namespace {

using Lines = std::vector<std::wstring>;
using Window = fixture::OwnedWindow;

int okCommands = 0;

INT_PTR CALLBACK CountingDialogProc(HWND, UINT message, WPARAM wParam, LPARAM) noexcept {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    ++okCommands;
    return TRUE;
  }
  return FALSE;
}

// A modeless dialog of the standard dialog class made from an in-memory template: one push button "OK" (IDOK).
Window MakeDialog(const std::wstring& title, HWND owner = nullptr) {
  std::vector<WORD> words;
  auto append = [&words](const void* data, std::size_t bytes) {
    const auto* p = static_cast<const WORD*>(data);
    words.insert(words.end(), p, p + bytes / sizeof(WORD));
  };
  auto appendText = [&words](const std::wstring& text) {
    for (wchar_t c : text) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
  };
  DLGTEMPLATE dialog{};
  dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  dialog.cdit = 1;
  dialog.x = 40;
  dialog.y = 40;
  dialog.cx = 160;
  dialog.cy = 80;
  append(&dialog, sizeof(dialog));
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  appendText(title);
  if (words.size() % 2) words.push_back(0);  // items start on a DWORD boundary
  DLGITEMTEMPLATE item{};
  item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  item.x = 10;
  item.y = 10;
  item.cx = 60;
  item.cy = 16;
  item.id = IDOK;
  append(&item, sizeof(item));
  words.push_back(0xFFFF);
  words.push_back(0x0080);  // the button class
  appendText(L"OK");
  words.push_back(0);  // no creation data
  return Window(::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner,
                                             CountingDialogProc, 0));
}

bool MemoMentions(TovFrmMain& main, const std::wstring& text) {
  for (const std::wstring& line : fixture::MemoLines(main)) {
    if (line.find(text) != std::wstring::npos) return true;
  }
  return false;
}

TEST(MakingTasks, LinesFromTargetsAndTheTargetAfterwards) {
  fixture::ListsSession lists;
  TovFrmMain& main = lists.Start();

  // The fixtures of all cases live for the whole test; each case names its target and the window that is the
  // target after the add.
  Window confirm = MakeDialog(L"Confirm");
  ASSERT_TRUE(confirm);
  HWND confirmOk = ::GetDlgItem(confirm.get(), IDOK);

  fixture::OwnedWindow outer = fixture::MakeProbe(L"Outer Frame");
  HWND panel = fixture::MakeProbeChild(L"Panel", outer.get());
  HWND deep = fixture::MakeProbeChild(L"Deep", panel);

  fixture::OwnedWindow owner = fixture::MakeProbe(L"Owner");
  Window owned = MakeDialog(L"Owned", owner.get());
  ASSERT_TRUE(owned);
  HWND ownedOk = ::GetDlgItem(owned.get(), IDOK);

  fixture::OwnedWindow quoted = fixture::MakeProbe(L"Say \"hi\", now");
  fixture::OwnedWindow host = fixture::MakeProbe(L"Host");
  HWND untitledChild = fixture::MakeProbeChild(L"", host.get());

  fixture::OwnedWindow popupOwner = fixture::MakeProbe(L"Popup owner");
  Window popup(::CreateWindowExW(0, fixture::kProbeClass, L"Popup", WS_POPUP | WS_VISIBLE, 500, 500, 100, 80,
                                 popupOwner.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(confirmOk && deep && ownedOk && untitledChild && popup);

  struct Case {
    const char* name;
    HWND target;
    const wchar_t* line;
    HWND targetAfter;
  };
  const Case cases[] = {
      {"button of a top-level dialog", confirmOk, L"Name=OK,Class=Button,pName=Confirm,pClass=#32770",
       confirm.get()},
      {"control two levels down", deep,
       L"Name=Deep,Class=SkimletProbe,\"pName=Outer Frame\",pClass=SkimletProbe,pLevels=1", outer.get()},
      {"button of an owned dialog: the walk goes through the owner", ownedOk,
       L"Name=OK,Class=Button,pName=Owner,pClass=SkimletProbe,pLevels=1", owner.get()},
      {"top-level window with quotes, a comma and blanks in its title", quoted.get(),
       L"\"Name=Say \"\"hi\"\", now\",Class=SkimletProbe", quoted.get()},
      {"untitled child: no Name item", untitledChild, L"Class=SkimletProbe,pName=Host,pClass=SkimletProbe",
       host.get()},
      {"owned pop-up: not a child, so its owner is not recorded", popup.get(), L"Name=Popup,Class=SkimletProbe",
       popup.get()},
  };
  Lines lines;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    main.ShowInfo(c.target);
    ASSERT_EQ(main.Target().Wnd, c.target);
    fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
    lines.push_back(c.line);
    EXPECT_EQ(main.TaskList(), lines);
    EXPECT_EQ(lists.TaskEntries(), lines);
    EXPECT_EQ(LoadListFile(lists.TaskFile()), lines);
    // The panel shows the topmost ancestor, which stays the target.
    EXPECT_EQ(main.Target().Wnd, c.targetAfter);
    wchar_t title[256] = {};
    ::GetWindowTextW(c.targetAfter, title, 256);
    if (title[0]) { EXPECT_TRUE(MemoMentions(main, title)) << "memo does not show " << testing::PrintToString(title); }
    // Reading the line back gives the title that was recorded.
    EXPECT_EQ(core::TaskItems::FromLine(c.line).Value(L"Name"), [&] {
      wchar_t own[256] = {};
      ::GetWindowTextW(c.target, own, 256);
      return std::wstring(own);
    }());
  }
  EXPECT_TRUE(lists.Reports().empty());
}

TEST(MakingTasks, LinePresentInAnyLetterCaseOrNoTargetAddsNothing) {
  fixture::ListsSession lists;
  const std::string stored = "name=ok,class=BUTTON,pname=confirm,pclass=#32770\r\n";
  ASSERT_TRUE(fixture::WriteFileBytes(lists.TaskFile(), stored));
  TovFrmMain& main = lists.Start();

  // No target yet.
  fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
  Window confirm = MakeDialog(L"Confirm");
  ASSERT_TRUE(confirm);
  main.ShowInfo(::GetDlgItem(confirm.get(), IDOK));
  fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
  EXPECT_EQ(main.Target().Wnd, confirm.get());  // the ancestor is shown even though nothing is added
  // A target that no longer exists.
  fixture::OwnedWindow gone = fixture::MakeProbe(L"Gone");
  main.ShowInfo(gone.get());
  gone.reset();
  fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});

  EXPECT_EQ(lists.TaskEntries(), Lines{L"name=ok,class=BUTTON,pname=confirm,pclass=#32770"});
  EXPECT_EQ(main.TaskList().size(), 1u);
  EXPECT_EQ(fixture::ReadFileBytes(lists.TaskFile()), stored);
  EXPECT_TRUE(lists.Reports().empty());
}

TEST(MakingTasks, TheRunnerClicksADialogButtonButNotOneUnderAnOwner) {
  fixture::ListsSession lists;
  TovFrmMain& main = lists.Start();
  Window confirm = MakeDialog(L"Confirm");
  fixture::OwnedWindow owner = fixture::MakeProbe(L"Owner");
  Window owned = MakeDialog(L"Owned", owner.get());
  ASSERT_TRUE(confirm && owner && owned);

  main.ShowInfo(::GetDlgItem(owned.get(), IDOK));
  fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
  main.ShowInfo(::GetDlgItem(confirm.get(), IDOK));
  fixture::Choose(main, {L"&Task", L"Add a CloseOrClick task"});
  ASSERT_EQ(main.TaskList().size(), 2u);

  // The owned dialog's task searches the owner's children, among which the dialog is not.
  okCommands = 0;
  EXPECT_EQ(main.TaskIndex(), 0);
  fixture::RunUntilTaskRuns(main);
  fixture::Settle(50);
  EXPECT_EQ(okCommands, 0);
  // The top-level dialog's button is pressed and released at its client point (0, 0): the dialog is told.
  fixture::RunUntilTaskRuns(main);
  EXPECT_TRUE(fixture::PollUntil([] { return okCommands == 1; }, 2000)) << okCommands;
}

}  // namespace
