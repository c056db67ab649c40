// The main window's lists: the task and set files, their menus, and adding entries to them (position sets and
// close-or-click tasks made from the target). The runner that acts on the tasks is in ovMainTasks.cpp.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <set>

#include <stdexcept>

#include "app/ovMainForm.h"
#include "core/CaseFold.h"
#include "core/SetLine.h"
#include "core/Unicode.h"
#include "gui/Application.h"
#include "engine/ovListFile.h"
#include "engine/ovTargetText.h"

namespace {

// Files that existed but could not be read when the lists were loaded. Their lists start empty, so saving one of
// them would silently drop every line the file holds; such a save is refused and reported instead.
std::set<std::wstring>& UnreadFiles() {
  static std::set<std::wstring> files;
  return files;
}

// The file's lines. A file that exists but cannot be read is reported through the application's exception handler
// and gives an empty list, so that start-up goes on with both lists present.
std::vector<std::wstring> LoadOrReport(const std::wstring& path) {
  UnreadFiles().erase(path);
  try {
    return LoadListFile(path);
  } catch (...) {
    UnreadFiles().insert(path);
    gui::Application::Instance().HandleException(std::current_exception());
    return {};
  }
}

// Writes the whole list; failures propagate to the command's caller (and from there to the exception handler).
void SaveList(const std::wstring& path, const std::vector<std::wstring>& lines) {
  if (UnreadFiles().count(path)) {
    throw std::runtime_error(
        core::WideToUtf8(L"Not saved to \"" + path +
                         L"\": the file could not be read at start, and writing it now would drop its lines"));
  }
  SaveListFile(path, lines);
}

// Appends the line and saves the whole list. A save that fails takes the line out again before the error goes on,
// so the list stays as the file still has it and adding the same entry again tries the save again.
void AppendAndSave(std::vector<std::wstring>& lines, const std::wstring& line, const std::wstring& path) {
  lines.push_back(line);
  try {
    SaveList(path, lines);
  } catch (...) {
    lines.pop_back();
    throw;
  }
}

bool ContainsIgnoreCase(const std::vector<std::wstring>& lines, const std::wstring& line) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::wstring& present) { return core::EqualsIgnoreCase(present, line); });
}

}  // namespace

void TovFrmMain::LoadLists() {
  FSetList = LoadOrReport(FLogFileName);
  FTaskList = LoadOrReport(FIniFileName);
}

void TovFrmMain::BuildListMenus() {
  for (const std::wstring& line : FTaskList) FTaskMenu.Add(line, false, false);
  FTaskMenu.ShowCount();
  // Every line is in FSetList already: only the menu is filled (AddSet would look each one up in the list again).
  for (const std::wstring& line : FSetList) AddSetItem(line, false);
  FSetMenu.ShowCount();
}

void TovFrmMain::AddTaskItem(const std::wstring& line) { FTaskMenu.Add(line, false); }

void TovFrmMain::AddSetItem(const std::wstring& line, bool showCount) {
  if (gui::MenuItem* entry = FSetMenu.Add(line, true, showCount)) {
    // The entry applies the stored line: its caption may be cut.
    entry->OnClick = [this, line](gui::MenuItem& item) { miAddSetClick(item, line); };
  }
}

void TovFrmMain::AddSet(const std::wstring& caption) {
  // Compared exactly: two lines that differ only in letter case are different positions.
  if (FSetMenu.Shows(caption)) return;
  if (ContainsIgnoreCase(FSetList, caption)) {
    // A line of the list that a full menu does not show is counted in its last entry already.
    if (FSetMenu.Full()) return;
  } else {
    // Saved before it is shown: a failed save leaves the menu as it was too.
    AppendAndSave(FSetList, caption, FLogFileName);
  }
  AddSetItem(caption);
}

void TovFrmMain::miAddSetClick(gui::MenuItem& item, const std::wstring& line) {
  if (item.Tag() == 1) {
    AddSet(core::FormatSetLine(eLeft.Text(), eTop.Text(), eWidth.Text(), eHeight.Text()));
    return;
  }
  const auto fields = core::SplitSetLine(line);
  eLeft.SetText(fields[0]);
  eTop.SetText(fields[1]);
  eWidth.SetText(fields[2]);
  eHeight.SetText(fields[3]);
  bSizeClick();
}

void TovFrmMain::miAddTaskClick() {
  if (!FUtils.IsValid()) return;
  const TovTaskLine made = MakeTaskLine(FUtils);
  // After an element pick, the task names the element inside the window.
  const std::wstring line =
      FPickedElement ? core::ElementTaskLine(core::TaskDescription::Parse(made.Line), *FPickedElement) : made.Line;
  // For a control the panel moves on to its topmost ancestor, the window the task's parent items name.
  if (made.Ancestor) ShowInfo(made.Ancestor);
  if (ContainsIgnoreCase(FTaskList, line)) return;
  // Saved before the runner or the menu see it: a line that failed to save is nowhere.
  AppendAndSave(FTaskList, line, FIniFileName);
  AddTaskItem(line);
  TasksChanged();
}
