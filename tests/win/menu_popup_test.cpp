// Pop-up menus: the real HMENU mirrors the item tree (also for items added or checked later), captions reach
// Windows unchanged, and choosing an item in an open menu fires that item's click.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "gui/Menu.h"
#include "gui/TrayIcon.h"
#include "support/MenuReader.h"
#include "support/Poll.h"

namespace gui {
// Readable failure output for tree comparisons.
void PrintTo(const MenuEntry& entry, std::ostream* out) {
  std::string text(entry.text.begin(), entry.text.end());
  *out << (entry.separator ? std::string("-") : "\"" + text + "\"") << (entry.checked ? " [x]" : "")
       << (entry.enabled ? "" : " (disabled)");
  if (!entry.items.empty()) {
    *out << " {";
    for (const auto& item : entry.items) {
      PrintTo(item, out);
      *out << "; ";
    }
    *out << "}";
  }
}
}  // namespace gui

namespace {

using gui::MenuEntry;
using gui::MenuItem;
using gui::PopupMenu;

MenuEntry Text(std::wstring text, bool checked = false) { return MenuEntry{std::move(text), false, checked, true, {}}; }
MenuEntry Sep() { return MenuEntry{L"", true, false, true, {}}; }
MenuEntry Sub(std::wstring text, std::vector<MenuEntry> items) {
  return MenuEntry{std::move(text), false, false, true, std::move(items)};
}

// The main menu as the main window will build it, with the handlers recording which item was clicked.
struct MainMenu {
  PopupMenu pm;
  MenuItem* history = nullptr;
  MenuItem* task = nullptr;
  MenuItem* snapWin = nullptr;
  MenuItem* snapCursor = nullptr;
  MenuItem* hideSelf = nullptr;
  MenuItem* exit = nullptr;
  MenuItem* help = nullptr;
  std::vector<MenuItem*> clicked;
  std::vector<bool> checkedWhenClicked;

  MainMenu() {
    auto record = [this](MenuItem& item) {
      clicked.push_back(&item);
      checkedWhenClicked.push_back(item.Checked());
    };
    history = &pm.Add(L"H&istory");
    history->SetTag(1);
    history->Add(L"Add to history").OnClick = record;
    history->Add(L"-");
    task = &pm.Add(L"&Task");
    task->Add(L"Add a CloseOrClick task").OnClick = record;
    task->Add(L"-");
    pm.Add(L"-");
    MenuItem& snap = pm.Add(L"&Snap");
    snapWin = &snap.Add(L"&Window");
    snapWin->OnClick = record;
    snap.Add(L"&Region").OnClick = record;
    MenuItem& options = snap.Add(L"&Options");
    snapCursor = &options.Add(L"Snap &Cursor");
    snapCursor->SetChecked(true);
    snapCursor->OnClick = record;
    hideSelf = &options.Add(L"&Hide Skimlet");
    hideSelf->SetChecked(true);
    hideSelf->SetAutoCheck(true);
    hideSelf->OnClick = record;
    pm.Add(L"-");
    exit = &pm.Add(L"E&xit");
    exit->OnClick = record;
    pm.Add(L"-");
    help = &pm.Add(L"&Help");
    help->SetShortCut(L"F1");
    help->OnClick = record;
    pm.Add(L"&About").OnClick = record;
  }
};

std::vector<MenuEntry> ExpectedMainMenu() {
  return {
      Sub(L"H&istory", {Text(L"Add to history"), Sep()}),
      Sub(L"&Task", {Text(L"Add a CloseOrClick task"), Sep()}),
      Sep(),
      Sub(L"&Snap", {Text(L"&Window"), Text(L"&Region"),
                     Sub(L"&Options", {Text(L"Snap &Cursor", true), Text(L"&Hide Skimlet", true)})}),
      Sep(),
      Text(L"E&xit"),
      Sep(),
      Text(L"&Help\tF1"),
      Text(L"&About"),
  };
}

// The entry at a path of positions; an entry with the text "<missing>" when the menu is not shaped that way.
MenuEntry At(const std::vector<MenuEntry>& tree, std::initializer_list<std::size_t> path) {
  const std::vector<MenuEntry>* level = &tree;
  const MenuEntry* entry = nullptr;
  for (std::size_t index : path) {
    if (index >= level->size()) return Text(L"<missing>");
    entry = &(*level)[index];
    level = &entry->items;
  }
  return entry ? *entry : Text(L"<missing>");
}

// Types keys into the menu that opens next, from another thread: Popup blocks this one until the menu closes.
// It waits for the menu's window, notes where it is, types, and cancels the menu if it is still open after the
// deadline, so a test cannot hang.
class MenuTyper {
 public:
  struct Result {
    bool sawMenu = false;
    RECT menuRect{};
  };

  MenuTyper(HWND owner, std::vector<WORD> keys)
      : thread_([this, owner, keys = std::move(keys)] { Run(owner, keys); }) {}
  ~MenuTyper() {
    if (thread_.joinable()) thread_.join();
  }
  // Call after Popup returned.
  Result Finish() {
    thread_.join();
    return result_;
  }

 private:
  static HWND OpenMenu() {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    return (menu && ::IsWindowVisible(menu)) ? menu : nullptr;
  }
  void Run(HWND owner, const std::vector<WORD>& keys) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    HWND menu = nullptr;
    while (!(menu = OpenMenu()) && std::chrono::steady_clock::now() < deadline) ::Sleep(10);
    if (!menu) return;
    result_.sawMenu = true;
    ::GetWindowRect(menu, &result_.menuRect);
    for (WORD key : keys) {
      fixture::PressKey(key);
      ::Sleep(50);  // a submenu opens before the next letter
    }
    while (OpenMenu() && std::chrono::steady_clock::now() < deadline) ::Sleep(10);
    if (OpenMenu()) ::PostMessageW(owner, WM_CANCELMODE, 0, 0);
  }

  Result result_;
  std::thread thread_;
};

// One shown owner window for all the tests that open the menu: under Wine without a window manager, hiding a
// shown window takes two seconds.
class PopupMenuInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    owner_ = ::CreateWindowExW(0, L"STATIC", L"menu owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                               nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    fixture::Settle(50);
  }
  static void TearDownTestSuite() { ::DestroyWindow(owner_); }
  static HWND owner() { return owner_; }

 private:
  static HWND owner_;
};
HWND PopupMenuInput::owner_ = nullptr;

TEST(PopupMenu, RealMenuMatchesTheBuiltTreeWithCaptionsUnchanged) {
  MainMenu menu;
  EXPECT_EQ(gui::ReadMenu(menu.pm.Handle()), ExpectedMainMenu());

  // No accelerator letter is ever added: captions written without "&" stay without one.
  const std::vector<MenuEntry> tree = gui::ReadMenu(menu.pm.Handle());
  EXPECT_EQ(At(tree, {0, 0}).text, L"Add to history");
  EXPECT_EQ(At(tree, {1, 0}).text, L"Add a CloseOrClick task");
}

TEST(PopupMenu, ItemsAppendedAtRunTimeAppearAtTheEndUnchanged) {
  MainMenu menu;
  // A set line is parsed back from its caption, so its spaces must survive exactly.
  const std::vector<std::wstring> entries = {L"1~01A2B4~Confirm~#32770", L"  100   50  800  600", L"",
                                             L"Name=OK,Class=Button,pName=Confirm,pClass=#32770"};
  for (const auto& caption : entries) {
    const std::size_t before = menu.history->Count();
    MenuItem& added = menu.history->Add(caption);
    EXPECT_EQ(menu.history->Count(), before + 1);
    EXPECT_EQ(&menu.history->Item(before), &added);
    EXPECT_EQ(added.Parent(), menu.history);
    EXPECT_EQ(added.Index(), static_cast<int>(before));
  }
  const std::vector<MenuEntry> history = gui::ReadMenu(menu.history->Handle());
  ASSERT_EQ(history.size(), 2 + entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(history[2 + i], Text(entries[i])) << i;

  // A plain item that gets sub-items becomes a submenu in the real menu too.
  menu.exit->Add(L"Now");
  EXPECT_EQ(At(gui::ReadMenu(menu.pm.Handle()), {5}), Sub(L"E&xit", {Text(L"Now")}));

  // A standalone branch built first and attached later arrives whole.
  auto branch = std::make_unique<MenuItem>(L"Branch");
  branch->Add(L"Leaf").SetChecked(true);
  menu.pm.Add(std::move(branch));
  EXPECT_EQ(At(gui::ReadMenu(menu.pm.Handle()), {9}), Sub(L"Branch", {Text(L"Leaf", true)}));
}

TEST(PopupMenu, PropertyChangesReachTheRealMenuWhileItIsClosed) {
  struct Case {
    const char* name;
    std::function<void(MainMenu&)> change;
    std::function<void(std::vector<MenuEntry>&)> expect;
  };
  const std::vector<Case> cases = {
      {"uncheck", [](MainMenu& m) { m.snapCursor->SetChecked(false); },
       [](auto& t) { t[3].items[2].items[0].checked = false; }},
      {"check", [](MainMenu& m) { m.exit->SetChecked(true); }, [](auto& t) { t[5].checked = true; }},
      {"disable", [](MainMenu& m) { m.exit->SetEnabled(false); }, [](auto& t) { t[5].enabled = false; }},
      {"caption", [](MainMenu& m) { m.help->SetCaption(L"&Manual"); }, [](auto& t) { t[7].text = L"&Manual\tF1"; }},
      {"drop shortcut", [](MainMenu& m) { m.help->SetShortCut(L""); }, [](auto& t) { t[7].text = L"&Help"; }},
      {"to separator", [](MainMenu& m) { m.exit->SetCaption(L"-"); }, [](auto& t) { t[5] = Sep(); }},
      {"back from separator", [](MainMenu& m) { m.history->Item(1).SetCaption(L"Entries"); },
       [](auto& t) { t[0].items[1] = Text(L"Entries"); }},
      {"submenu caption", [](MainMenu& m) { m.history->SetCaption(L"History"); },
       [](auto& t) { t[0].text = L"History"; }},
  };
  for (const auto& c : cases) {
    MainMenu menu;
    c.change(menu);
    std::vector<MenuEntry> expected = ExpectedMainMenu();
    c.expect(expected);
    EXPECT_EQ(gui::ReadMenu(menu.pm.Handle()), expected) << c.name;
  }
}

TEST(PopupMenu, ClickFlipsAnAutoCheckItemBeforeItsHandlerAndNothingElse) {
  MainMenu menu;
  menu.hideSelf->Click();
  menu.snapCursor->Click();  // not auto-check: its own handler decides
  ASSERT_EQ(menu.clicked.size(), 2u);
  EXPECT_EQ(menu.clicked[0], menu.hideSelf);
  EXPECT_FALSE(menu.checkedWhenClicked[0]) << "the handler must already see the new state";
  EXPECT_TRUE(menu.checkedWhenClicked[1]);
  EXPECT_TRUE(menu.snapCursor->Checked());
  EXPECT_FALSE(At(gui::ReadMenu(menu.pm.Handle()), {3, 2, 1}).checked);

  menu.hideSelf->Click();
  EXPECT_TRUE(menu.hideSelf->Checked());
  EXPECT_TRUE(At(gui::ReadMenu(menu.pm.Handle()), {3, 2, 1}).checked);

  // Disabled items and separators do nothing.
  menu.exit->SetEnabled(false);
  menu.exit->Click();
  menu.history->Item(1).Click();
  EXPECT_EQ(menu.clicked.size(), 3u);
}

TEST(PopupMenu, HandlerMayReplaceItselfWhileRunning) {
  PopupMenu pm;
  MenuItem& item = pm.Add(L"Once");
  int first = 0, second = 0;
  item.OnClick = [&](MenuItem& self) {
    ++first;
    self.OnClick = [&](MenuItem&) { ++second; };
  };
  item.Click();
  item.Click();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
}

TEST(PopupMenu, TagsAndIdsIdentifyItems) {
  MainMenu menu;
  EXPECT_EQ(menu.history->Tag(), 1);
  EXPECT_EQ(menu.exit->Tag(), 0);
  MenuItem& entry = menu.history->Add(L"2~0000FF~x~y");
  entry.SetTag(static_cast<LONG_PTR>(0xFF));
  EXPECT_EQ(menu.pm.Items().FindById(entry.Id()), &entry);
  EXPECT_EQ(menu.pm.Items().FindById(menu.hideSelf->Id()), menu.hideSelf);
  EXPECT_NE(menu.hideSelf->Id(), menu.snapCursor->Id());
  EXPECT_EQ(menu.pm.Items().FindById(0), nullptr);
  EXPECT_THROW(menu.pm.Item(99), std::out_of_range);
  EXPECT_THROW(menu.pm.Add(std::unique_ptr<MenuItem>()), std::invalid_argument);
}

TEST(PopupMenu, DestroyingTheMenuDestroysEverySubmenuOnce) {
  HMENU root, history, options;
  {
    MainMenu menu;
    root = menu.pm.Handle();
    history = menu.history->Handle();
    options = menu.snapCursor->Parent()->Handle();
    ASSERT_TRUE(::IsMenu(root) && ::IsMenu(history) && ::IsMenu(options));
  }
  EXPECT_FALSE(::IsMenu(root));
  EXPECT_FALSE(::IsMenu(history));
  EXPECT_FALSE(::IsMenu(options));
}

TEST_F(PopupMenuInput, KeyboardChoiceFiresTheChosenItem) {
  struct Case {
    const char* name;
    std::vector<WORD> keys;
    const char* expected;  // caption of the clicked item; nullptr: nothing chosen
  };
  const std::vector<Case> cases = {
      {"accelerator", {'X'}, "E&xit"},
      {"nested accelerators", {'S', 'O', 'H'}, "&Hide Skimlet"},
      {"arrow and return", {VK_UP, VK_RETURN}, "&About"},
      {"escape", {VK_ESCAPE}, nullptr},
  };
  for (const auto& c : cases) {
    MainMenu menu;
    MenuTyper typer(owner(), c.keys);
    const bool chosen = menu.pm.Popup(owner(), 400, 300);
    ASSERT_TRUE(typer.Finish().sawMenu) << c.name;
    if (!c.expected) {
      EXPECT_FALSE(chosen) << c.name;
      EXPECT_TRUE(menu.clicked.empty()) << c.name;
      continue;
    }
    EXPECT_TRUE(chosen) << c.name;
    ASSERT_EQ(menu.clicked.size(), 1u) << c.name;
    const std::wstring caption = menu.clicked[0]->Caption();
    EXPECT_EQ(std::string(caption.begin(), caption.end()), c.expected) << c.name;
  }
}

TEST_F(PopupMenuInput, AutoCheckItemChosenInTheMenuTogglesOnce) {
  MainMenu menu;
  MenuTyper typer(owner(), {'S', 'O', 'H'});
  menu.pm.Popup(owner(), 400, 300);
  typer.Finish();
  EXPECT_FALSE(menu.hideSelf->Checked());
  EXPECT_FALSE(At(gui::ReadMenu(menu.pm.Handle()), {3, 2, 1}).checked);
  ASSERT_EQ(menu.checkedWhenClicked.size(), 1u);
  EXPECT_FALSE(menu.checkedWhenClicked[0]);
}

TEST_F(PopupMenuInput, OpensWithItsTopLeftCornerAtThePoint) {
  MainMenu menu;
  MenuTyper typer(owner(), {VK_ESCAPE});
  menu.pm.Popup(owner(), 321, 234);
  const MenuTyper::Result result = typer.Finish();
  ASSERT_TRUE(result.sawMenu);
  EXPECT_EQ(result.menuRect.left, 321);
  EXPECT_EQ(result.menuRect.top, 234);
}

// The tray icon's hidden window can own the menu while the main window is hidden.
TEST_F(PopupMenuInput, AHiddenOwnerWindowWorksToo) {
  gui::TrayIcon tray;
  MainMenu menu;
  MenuTyper typer(tray.Window(), {'X'});
  EXPECT_TRUE(menu.pm.Popup(tray.Window(), 400, 300));
  EXPECT_TRUE(typer.Finish().sawMenu);
  ASSERT_EQ(menu.clicked.size(), 1u);
  EXPECT_EQ(menu.clicked[0], menu.exit);
}

TEST_F(PopupMenuInput, RefusesAMissingOwner) {
  MainMenu menu;
  EXPECT_FALSE(menu.pm.Popup(nullptr, 0, 0));
  EXPECT_TRUE(menu.clicked.empty());
}

}  // namespace
