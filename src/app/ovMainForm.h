#pragma once
// TovFrmMain: Skimlet's one ordinary window, a small always-on-top tool window with the picker, the information
// panel, the snapshot buttons and the Menu button, plus the tray icon and the two pop-up menus.
//
// One class, defined in one file per subsystem: ovMainForm the frame (creation, placement, tray, hiding, menu,
// exit), ovMainInspect the information panel (ShowInfo and the panel's handlers), ovMainSnap the snapshot commands,
// ovMainLists the list files and position sets, ovMainHistory the history, ovMainTasks the task runner.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ElementText.h"
#include "core/Random.h"
#include "gui/BalloonHint.h"
#include "gui/Controls.h"
#include "gui/Form.h"
#include "gui/IconSet.h"
#include "gui/Menu.h"
#include "gui/PaintedControls.h"
#include "gui/TrayIcon.h"
#include "app/ovListMenu.h"
#include "app/ovSkimlet.h"
#include "engine/ovTaskAction.h"
#include "engine/ovActionLog.h"
#include "engine/ovTaskTrigger.h"
#include "engine/ovWinUtils.h"

class TovFrmMain : public gui::Form {
 public:
  TovFrmMain();
  ~TovFrmMain() override;

  // Shows a window's facts in the information panel and makes it the target of the panel's controls, as a pick
  // with the picker does.
  void ShowInfo(HWND window);

  // Start-up calls these once the window has painted. RegisterHints gives every control its hint: a hint shows only
  // after the pointer has rested on a control, so made before, the hints only kept the window from showing.
  // RegisterHotkeys registers the global hotkeys while their menu item is ticked.
  void RegisterHints();
  void RegisterHotkeys();

  // What tests and benchmarks may read of the window where its messages, menus and files do not reach; only the
  // trigger's hook, which a benchmark takes out, is changed here. Everything else they do as a user or the system
  // would: clicks and keys on the controls' windows, menu items chosen by WM_COMMAND with their identifiers, list
  // files written before start-up.
  // The window of a control, by its name ("cbEnable", "grab", "mm"...); nullptr for a name of none.
  HWND ControlHandle(std::wstring_view name) const;
  // The main menu ("pm") and the position sets' menu ("pmSet"); nullptr for a name of neither.
  HMENU MenuHandle(std::wstring_view name) const;
  // The target as the panel holds it, the picker, and the controls' balloon hints.
  const TovWinUtils& Target() const { return FUtils; }
  const TovSkimlet& Picker() const { return grab; }
  const gui::BalloonHint& Hints() const { return bh1; }
  // The task and set lists as loaded and added to; the task runner's next line and its draws (a copy of the
  // generator tells on which idle pass the runner takes a line next).
  const std::vector<std::wstring>& TaskList() const { return FTaskList; }
  const std::vector<std::wstring>& SetList() const { return FSetList; }
  int32_t TaskIndex() const { return FTaskIndex; }
  const core::RandomGenerator& TaskDraw() const { return FTaskDraw; }
  // For a benchmark that compares the program with and without the task trigger's hook: whether it is installed,
  // and taking it out or putting it back.
  bool TriggerHooked() const { return FTrigger.Installed(); }
  void SetTriggerHooked(bool hooked);

 protected:
  // The steps of the creation handler, in its order (a start-up benchmark times them one by one).
  void CreateControls();
  void CreateMenus();
  void CreateTrayIcon();
  void FormCreate();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Controls, in tab order where they take the focus.
  gui::Panel pnl;  // the colour swatch behind the picker
  TovSkimlet grab;
  gui::CheckBox cbEnable;
  gui::CheckBox cbVisible;
  gui::CheckBox cbTopmost;
  gui::ImageButton bSnapWin;
  gui::ImageButton bSnapReg;
  gui::FlatButton bMenu;
  gui::Edit eLeft;
  gui::Edit eTop;
  gui::Edit eWidth;
  gui::Edit eHeight;
  gui::Button bSize;
  gui::TrackBar tp;
  gui::Memo mm;

  // Components without a place on the window.
  gui::IconSet trayFrames{16};
  gui::TrayIcon ti;
  gui::BalloonHint bh1;
  gui::PopupMenu pm;
  gui::PopupMenu pmSet;
  gui::MenuItem* miHistory = nullptr;
  gui::MenuItem* miAddHistory = nullptr;
  gui::MenuItem* miTask = nullptr;
  gui::MenuItem* miAddTask = nullptr;
  gui::MenuItem* miPauseTasks = nullptr;
  gui::MenuItem* miTestTasks = nullptr;
  gui::MenuItem* miSnap = nullptr;
  gui::MenuItem* miSnapWin = nullptr;
  gui::MenuItem* miSnapReg = nullptr;
  gui::MenuItem* miSnapOption = nullptr;
  gui::MenuItem* miSnapCursor = nullptr;
  gui::MenuItem* miHideSelf = nullptr;
  gui::MenuItem* miSnapClipboard = nullptr;  // every snapshot also goes to the clipboard; toggles itself
  gui::MenuItem* miHotkeys = nullptr;        // the global hotkeys are registered; toggles itself
  gui::MenuItem* miSnapItself = nullptr;     // a covered window's snapshot shows the window itself; toggles itself
  gui::MenuItem* miExit = nullptr;
  gui::MenuItem* miHelp = nullptr;
  gui::MenuItem* miAbout = nullptr;
  gui::MenuItem* miAddSet = nullptr;

  // State that the creation handler sets up and the subsystems share.
  std::wstring FTmpFileName;
  TovWinUtils FUtils;
  std::vector<std::wstring> FSetList;
  std::wstring FLogFileName;
  std::vector<std::wstring> FTaskList;
  std::wstring FIniFileName;
  TovListMenu FTaskMenu;  // the entries of miTask and pmSet
  TovListMenu FSetMenu;
  bool FExiting = false;
  bool FRestoring = false;  // a panel control is being put back to the target's real state: its handler holds off
  int32_t FTaskIndex = 0;
  core::RandomGenerator FTaskDraw;
  std::optional<TovTaskFinder> FTaskFinder;  // a task whose window is still being searched for
  std::size_t FTaskFinderLine = 0;           // ... and the index of its line
  TovTaskTrigger FTrigger;  // acts on task windows as they appear
  TovActionLog FActionLog;
  bool FSnapping = false;          // a snapshot command runs (its conversion dispatches messages meanwhile)
  bool FMessageSinceIdle = false;  // a message other than the trigger's was dispatched since the last idle pass
  std::optional<core::ElementFacts> FPickedElement;  // the element of the latest element pick, while it is shown

  // The frame (ovMainForm).
  bool FormCloseQuery();
  void FormHide();
  void appEventsIdle();
  void appEventsMinimize();
  void tiClick();
  void tiRightClick();
  void bMenuClick();
  void miExitClick();
  void miHelpClick();
  void miAboutClick();
  // Opens pm with its top-left corner at a screen point.
  void PopupMainMenu(POINT screen);
  void PlaceOnWorkArea();
  bool HelpShortcut(const MSG& message);
  // A menu command (WM_COMMAND from a menu): runs the item of pm or pmSet with that identifier.
  bool MenuCommand(UINT id);

  // The information panel (ovMainInspect).
  void grabGrab();
  void grabDone();
  void grabElement();
  void cbEnableClick();
  void cbVisibleClick();
  void cbTopmostClick();
  void tpChange();
  void bSizeClick();
  void topParent(const gui::MouseEvent& event);
  void WMLButtonDown(POINT client, UINT keys);
  void RestoreUnanswered(gui::Control& control, bool differs, const std::function<void()>& restore);
  bool PickUnderPointer(bool topLevel);

  // Snapshots (ovMainSnap).
  void bSnapWinClick();
  void bSnapRegClick();
  void miSnapCursorClick();
  bool SnapshotRefused();
  // After a capture: converts the bitmap, puts the snapshot on the clipboard when that option is ticked, and opens
  // the PNG (or the bitmap).
  void ShowSnapshot();

  // Global hotkeys (ovMainHotkeys).
  void UnregisterHotkeys();
  void miHotkeysClick();
  void HotkeyPressed(int id);

  // Lists, history and tasks (ovMainLists, ovMainHistory, ovMainTasks).
  void LoadLists();
  void BuildListMenus();
  void AddTaskItem(const std::wstring& line);
  void AddSet(const std::wstring& caption);
  void AddSetItem(const std::wstring& line, bool showCount = true);
  // The "&Add ..." item (tag 1) adds a set; an entry applies `line`, the set it was made from.
  void miAddSetClick(gui::MenuItem& item, const std::wstring& line = {});
  void AddHistory();
  void HistoryItemClick(gui::MenuItem& item);
  void miAddTaskClick();
  void RunNextTask();
  void TasksChanged();  // after FTaskList changed: the trigger tries the new lines
  bool TasksPaused() const;
  void miPauseTasksClick();
  void miTestTasksClick();
};

extern TovFrmMain* ovFrmMain;
