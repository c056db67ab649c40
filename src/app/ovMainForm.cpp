#include "app/ovMainForm.h"

#include <initializer_list>
#include <utility>

#include "app/ovApp.h"
#include "app/ovFormAbout.h"
#include "app/ovLinks.h"
#include "gui/Application.h"

TovFrmMain* ovFrmMain = nullptr;

namespace {

// The memo's opening picture: an arrow up to the picker, a line down to a small window with a crosshair. At most
// 39 characters a line, so that it does not wrap in the memo with a fallback monospaced font wider than Consolas.
const std::vector<std::wstring> kBanner = {
    L"  ^",
    L" /|\\",
    L"  |  Please drag here to capture window",
    L"  |",
    L"  '-----------------.",
    L"              .-----v-------.",
    L"              |=[]======[]==|",
    L"              |      |      |   Skimlet",
    L"              |   ---+---   |",
    L"              '-------------'",
};

gui::FormDesign MainDesign() {
  gui::FormDesign design;
  design.className = L"TovFrmMain";
  design.caption = L"Skimlet";
  design.client = {312, 213};
  design.border = gui::BorderStyle::Sizeable;
  design.topmost = true;
  design.position = gui::FormPosition::Explicit;
  design.origin = {0, 0};
  design.font = gui::FontSpec{L"Tahoma", 11, false, DEFAULT_CHARSET};
  return design;
}

POINT CursorPos() {
  POINT point{};
  ::GetCursorPos(&point);
  return point;
}

}  // namespace

TovFrmMain::TovFrmMain() : Form(MainDesign()) {
  OnCreate = [this] {
    CreateControls();
    CreateMenus();
    CreateTrayIcon();
    FormCreate();
  };
  OnCloseQuery = [this] { return FormCloseQuery(); };
  OnHide = [this] { FormHide(); };
  OnLButtonDown = [this](POINT client, UINT keys) { WMLButtonDown(client, keys); };
}

TovFrmMain::~TovFrmMain() {
  auto& app = gui::Application::Instance();
  app.OnIdle = nullptr;
  app.OnMinimize = nullptr;
  app.PreTranslate = nullptr;
}

void TovFrmMain::CreateControls() {
  pnl.Create(*this, {8, 8, 32, 32}, RGB(255, 255, 255));
  grab.Create(pnl, {0, 0, 32, 32});
  grab.OnGrab = [this] { grabGrab(); };
  grab.OnDone = [this] { grabDone(); };
  grab.OnElement = [this] { grabElement(); };
  grab.OnMouseDown = [this](const gui::MouseEvent& event) { topParent(event); };

  cbEnable.Create(*this, {48, 8, 60, 14}, L"&Enable");
  cbEnable.SetEnabled(false);
  cbEnable.OnClick = [this] { cbEnableClick(); };
  cbVisible.Create(*this, {107, 8, 60, 14}, L"&Visible");
  cbVisible.SetEnabled(false);
  cbVisible.OnClick = [this] { cbVisibleClick(); };
  cbTopmost.Create(*this, {166, 8, 60, 14}, L"&On top");
  cbTopmost.SetEnabled(false);
  cbTopmost.OnClick = [this] { cbTopmostClick(); };

  bSnapWin.Create(*this, {230, 6, 16, 16});
  bSnapWin.SetIcon(ExecutableIcon(L"SNAP_WIN", 16));
  bSnapWin.OnClick = [this] { bSnapWinClick(); };
  bSnapReg.Create(*this, {254, 6, 16, 16});
  bSnapReg.SetIcon(ExecutableIcon(L"SNAP_REG", 16));
  bSnapReg.OnClick = [this] { bSnapRegClick(); };

  bMenu.Create(*this, {270, 2, 40, 20}, L"&Menu");
  bMenu.OnClick = [this] { bMenuClick(); };
  bMenu.OnContextMenu = [this](POINT screen) { PopupMainMenu(screen); };

  gui::Edit* edits[] = {&eLeft, &eTop, &eWidth, &eHeight};
  for (int i = 0; i < 4; ++i) {
    edits[i]->SetCentered(true);
    edits[i]->Create(*this, {48 + 33 * i, 24, 32, 20});
  }

  bSize.Create(*this, {180, 24, 44, 20}, L"&Set");
  bSize.SetEnabled(false);
  bSize.OnClick = [this] { bSizeClick(); };
  bSize.OnContextMenu = [this](POINT screen) { pmSet.Popup(Handle(), screen.x, screen.y); };

  tp.Create(*this, {224, 24, 86, 20}, 0, 255);
  tp.SetEnabled(false);
  tp.OnChange = [this] { tpChange(); };

  mm.Create(*this, {8, 52, 296, 153});
  mm.SetAnchors({true, true, true, true});
  mm.SetLines(kBanner);
}

void TovFrmMain::CreateMenus() {
  // pm: the main menu of the Menu button and the tray icon.
  miHistory = &pm.Add(L"H&istory");
  miHistory->SetTag(1);  // index of the last fixed item: entries start after it
  miAddHistory = &miHistory->Add(L"Add to history");
  miAddHistory->OnClick = [this](gui::MenuItem&) { AddHistory(); };
  miHistory->Add(L"-");

  miTask = &pm.Add(L"&Task");
  miTask->SetTag(3);  // index of the last fixed item: entries start after it
  miAddTask = &miTask->Add(L"Add a CloseOrClick task");
  miAddTask->OnClick = [this](gui::MenuItem&) { miAddTaskClick(); };
  miPauseTasks = &miTask->Add(L"&Pause tasks");
  miPauseTasks->SetAutoCheck(true);
  miPauseTasks->OnClick = [this](gui::MenuItem&) { miPauseTasksClick(); };
  miTestTasks = &miTask->Add(L"&Test tasks");
  miTestTasks->OnClick = [this](gui::MenuItem&) { miTestTasksClick(); };
  miTask->Add(L"-");
  FTaskMenu.Attach(*miTask);

  pm.Add(L"-");
  miSnap = &pm.Add(L"&Snap");
  miSnapWin = &miSnap->Add(L"&Window");
  miSnapWin->OnClick = [this](gui::MenuItem&) { bSnapWinClick(); };
  miSnapReg = &miSnap->Add(L"&Region");
  miSnapReg->OnClick = [this](gui::MenuItem&) { bSnapRegClick(); };
  miSnapOption = &miSnap->Add(L"&Options");
  miSnapCursor = &miSnapOption->Add(L"Snap &Cursor");
  miSnapCursor->SetChecked(true);
  miSnapCursor->OnClick = [this](gui::MenuItem&) { miSnapCursorClick(); };
  miHideSelf = &miSnapOption->Add(L"&Hide Skimlet");
  miHideSelf->SetChecked(true);
  miHideSelf->SetAutoCheck(true);
  miSnapClipboard = &miSnapOption->Add(L"Copy to clip&board");
  miSnapClipboard->SetAutoCheck(true);
  miHotkeys = &miSnapOption->Add(L"Hot&keys");
  miHotkeys->SetChecked(true);
  miHotkeys->SetAutoCheck(true);
  miHotkeys->OnClick = [this](gui::MenuItem&) { miHotkeysClick(); };
  miSnapItself = &miSnapOption->Add(L"Window &itself");
  miSnapItself->SetAutoCheck(true);
  miSnapItself->OnClick = [this](gui::MenuItem&) { FUtils.SnapItself = miSnapItself->Checked(); };

  pm.Add(L"-");
  miExit = &pm.Add(L"E&xit");
  miExit->OnClick = [this](gui::MenuItem&) { miExitClick(); };
  pm.Add(L"-");
  miHelp = &pm.Add(L"&Help");
  miHelp->SetShortCut(L"F1");
  miHelp->OnClick = [this](gui::MenuItem&) { miHelpClick(); };
  miAbout = &pm.Add(L"&About");
  miAbout->OnClick = [this](gui::MenuItem&) { miAboutClick(); };

  // pmSet: the position sets of the Set button.
  miAddSet = &pmSet.Add(L"&Add ...");
  miAddSet->SetTag(1);
  miAddSet->OnClick = [this](gui::MenuItem& item) { miAddSetClick(item); };
  pmSet.Add(L"-");
  FSetMenu.Attach(pmSet.Items());
}

void TovFrmMain::CreateTrayIcon() {
  trayFrames.AddFromResource(nullptr, L"TRAY_1");
  trayFrames.AddFromResource(nullptr, L"TRAY_2");
  ti.SetTip(L"Skimlet");
  ti.SetFrames(trayFrames.Icons());
  ti.OnClick = [this] { tiClick(); };
  ti.OnRightClick = [this] { tiRightClick(); };
  ti.SetVisible(true);
  ti.SetAnimate(true);
}

void TovFrmMain::RegisterHints() {
  bh1.Create(Handle());
  const std::pair<gui::Control*, const wchar_t*> hints[] = {
      {&grab, L"Capture Window|Drag here to capture window!\r\nRight click to the top window!\r\n"},
      {&cbEnable, L"Set enabled or disabled"},
      {&cbVisible, L"Show or hide"},
      {&cbTopmost, L"Stay On Top|Set or reset top most\r\n"},
      {&bSnapWin,
       L"Window Snapshot|You'd grab a window @1st.\r\n\r\nTips:\r\n  Press <Shift> to delay.\r\n"
       L"  Release it to snapshot!\r\n\r\n"},
      {&bSnapReg, L"Region Snapshot|\r\nTips:\r\n  Press <Shift> to delay.\r\n  Release it to snapshot!\r\n\r\n"},
      {&bMenu, L"More function ..."},
      {&eLeft, L"x: Left"},
      {&eTop, L"y: Top"},
      {&eWidth, L"cx: Width"},
      {&eHeight, L"cy: Height"},
      {&bSize, L"Move and resize"},
      {&tp, L"Set as transparent"},
  };
  for (const auto& [control, hint] : hints) {
    control->SetHint(hint);
    bh1.Add(control->Handle(), hint);
  }
  // Disabled until the first pick, or while a child window is the target: their hints show all the same.
  for (gui::Control* control : std::initializer_list<gui::Control*>{&cbEnable, &cbVisible, &cbTopmost, &bSize, &tp}) {
    bh1.AlsoWhenDisabled(control->Handle());
  }
}

void TovFrmMain::FormCreate() {
  FTmpFileName = ovApp->SnapshotFileName();
  FUtils.SetScreenPpi(Dpi());
  FLogFileName = ovApp->SetFileName();
  FIniFileName = ovApp->TaskFileName();
  LoadLists();
  BuildListMenus();
  FActionLog.SetPath(ovApp->ActionLogFileName());
  FTrigger.Suspended = [this] { return grab.Grabbing || TasksPaused(); };
  FActionLog.OnWriteError = [this](const std::wstring& message) {
    ti.ShowBalloon(message, L"Skimlet", NIIF_WARNING, 10000);
  };
  FTrigger.Act = [this](std::size_t line, const TovTaskTarget& target) { return FActionLog.Act(line, target); };
  TasksChanged();
  FTrigger.Install();
  FUtils.SnapCursor = miSnapCursor->Checked();
  PlaceOnWorkArea();
  ti.ShowBalloon(L"Skimlet", L"Skimlet\u2122", NIIF_INFO, 1000);

  auto& app = gui::Application::Instance();
  app.OnIdle = [this] { appEventsIdle(); };
  app.OnMinimize = [this] { appEventsMinimize(); };
  app.PreTranslate = [this](MSG& message) {
    // The trigger's own timer is no reason for the runner to try another line.
    if (!FTrigger.OwnsMessage(message)) FMessageSinceIdle = true;
    return HelpShortcut(message);
  };
}

// F1 anywhere in the main window opens the help, as the menu's shortcut text promises.
bool TovFrmMain::HelpShortcut(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_F1) return false;
  if (message.hwnd != Handle() && !::IsChild(Handle(), message.hwnd)) return false;
  miHelpClick();
  return true;
}

// Left edge two window widths in from the work area's right edge, bottom on its bottom. The work area's width and
// height are used, not its right and bottom, so a taskbar on the top or left shifts the window towards the corner.
void TovFrmMain::PlaceOnWorkArea() {
  RECT window{};
  ::GetWindowRect(Handle(), &window);
  const RECT area = gui::Application::WorkArea();
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int left = (area.right - area.left) - 2 * width;
  const int top = (area.bottom - area.top) - height;
  ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TovFrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // An installer, or the system's restart manager, asks the program to close so that it can replace its files: its
  // questions carry ENDSESSION_CLOSEAPP, and the answer is an Exit (a log-off's question only hides the window). The
  // exit is posted, so that the asking program's call returns at once.
  constexpr UINT kExitRequested = WM_APP + 16;
  if (message == WM_QUERYENDSESSION && (lParam & ENDSESSION_CLOSEAPP)) return TRUE;
  if (message == WM_ENDSESSION && (lParam & ENDSESSION_CLOSEAPP)) {
    if (wParam) ::PostMessageW(Handle(), kExitRequested, 0, 0);
    return 0;
  }
  if (message == kExitRequested) {
    miExitClick();
    return 0;
  }
  if (message == WM_HOTKEY) {
    HotkeyPressed(static_cast<int>(wParam));
    return 0;
  }
  if (message == WM_COMMAND && lParam == 0 && HIWORD(wParam) == 0 && MenuCommand(LOWORD(wParam))) return 0;
  return gui::Form::HandleMessage(message, wParam, lParam);
}

bool TovFrmMain::FormCloseQuery() {
  if (!FExiting) Hide();
  return FExiting;
}

void TovFrmMain::FormHide() {
  // Exit destroys the shown window, which hides it a moment before the icon goes: that is no way of hiding.
  if (FExiting) return;
  ti.ShowBalloon(L"Skimlet", L"Skimlet\u2122", NIIF_INFO, 1000);
}

void TovFrmMain::appEventsIdle() {
  grab.Track();
  // The runner keeps the pace it has without the trigger: a pass that only the trigger's events or its timer
  // brought about (they wake the loop like any message) is no turn of the runner's.
  const bool byTrigger = FTrigger.TakeWakeUp();
  const bool byMessage = std::exchange(FMessageSinceIdle, false);
  if (byMessage || !byTrigger) RunNextTask();
}

void TovFrmMain::appEventsMinimize() { Hide(); }

void TovFrmMain::tiClick() {
  if (Visible()) {
    Hide();
    return;
  }
  Show(SW_SHOWNORMAL);
  ::SetForegroundWindow(Handle());
}

void TovFrmMain::tiRightClick() {
  // A pop-up menu closes on a click elsewhere only while its owner is the foreground window; the activation is
  // let through before the menu's own loop starts.
  ::SetForegroundWindow(Handle());
  gui::Application::Instance().ProcessMessages();
  PopupMainMenu(CursorPos());
}

void TovFrmMain::bMenuClick() { PopupMainMenu(CursorPos()); }

void TovFrmMain::PopupMainMenu(POINT screen) { pm.Popup(Handle(), screen.x, screen.y); }

// The menus pop up and report the chosen item themselves; a command sent to the window chooses an item the same
// way.
bool TovFrmMain::MenuCommand(UINT id) {
  for (gui::PopupMenu* menu : {&pm, &pmSet}) {
    gui::MenuItem* item = menu->Items().FindById(id);
    if (item && item != &menu->Items()) {
      item->Click();
      return true;
    }
  }
  return false;
}

HWND TovFrmMain::ControlHandle(std::wstring_view name) const {
  const std::pair<std::wstring_view, const gui::Control*> controls[] = {
      {L"pnl", &pnl},         {L"grab", &grab},       {L"cbEnable", &cbEnable}, {L"cbVisible", &cbVisible},
      {L"cbTopmost", &cbTopmost}, {L"bSnapWin", &bSnapWin}, {L"bSnapReg", &bSnapReg}, {L"bMenu", &bMenu},
      {L"eLeft", &eLeft},     {L"eTop", &eTop},       {L"eWidth", &eWidth},     {L"eHeight", &eHeight},
      {L"bSize", &bSize},     {L"tp", &tp},           {L"mm", &mm},
  };
  for (const auto& [controlName, control] : controls) {
    if (controlName == name) return control->Handle();
  }
  return nullptr;
}

HMENU TovFrmMain::MenuHandle(std::wstring_view name) const {
  if (name == L"pm") return pm.Handle();
  return name == L"pmSet" ? pmSet.Handle() : nullptr;
}

void TovFrmMain::miExitClick() {
  FExiting = true;
  // Exit is also reachable from the tray icon's menu while the about window is shown: it goes first.
  if (ovFrmAbout && ovFrmAbout->Visible()) ovFrmAbout->Close();
  Close();
}

void TovFrmMain::miHelpClick() { OpenLink(L"h", L""); }

void TovFrmMain::miAboutClick() {
  if (ovFrmAbout && ovFrmAbout->Create()) ovFrmAbout->ShowModal();  // made at start-up; if not, now
}
