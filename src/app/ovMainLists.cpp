// The main window's lists: the task and set files, their menus, and adding entries to them (position sets and
// close-or-click tasks made from the target). The runner that acts on the tasks is in ovMainTasks.cpp.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <set>

#include "app/ovMainForm.h"
#include "core/CaseFold.h"
#include "core/SetLine.h"
#include "core/TaskLine.h"
#include "gui/Application.h"
#include "engine/ovListFile.h"

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
    throw ListFileError(L"Not saved to \"" + path +
                        L"\": the file could not be read at start, and writing it now would drop its lines");
  }
  SaveListFile(path, lines);
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
  for (const std::wstring& line : FTaskList) AddTaskItem(line);
  for (const std::wstring& line : FSetList) AddSet(line);
}

void TovFrmMain::AddTaskItem(const std::wstring& line) { miTask->Add(line); }

void TovFrmMain::AddSet(const std::wstring& caption) {
  const gui::MenuItem& items = pmSet.Items();
  // Captions are compared exactly here: the caption is parsed back by position when the set is applied.
  for (std::size_t i = static_cast<std::size_t>(miAddSet->Tag()) + 1; i < items.Count(); ++i) {
    if (items.Item(i).Caption() == caption) return;
  }
  pmSet.Add(caption).OnClick = [this](gui::MenuItem& item) { miAddSetClick(item); };
  if (ContainsIgnoreCase(FSetList, caption)) return;
  FSetList.push_back(caption);
  SaveList(FLogFileName, FSetList);
}

void TovFrmMain::miAddSetClick(gui::MenuItem& item) {
  if (item.Tag() == 1) {
    AddSet(core::FormatSetLine(eLeft.Text(), eTop.Text(), eWidth.Text(), eHeight.Text()));
    return;
  }
  const auto fields = core::SplitSetLine(item.Caption());
  eLeft.SetText(fields[0]);
  eTop.SetText(fields[1]);
  eWidth.SetText(fields[2]);
  eHeight.SetText(fields[3]);
  bSizeClick();
}

void TovFrmMain::miAddTaskClick() {
  if (!FUtils.IsValid()) return;
  core::TaskItems task;
  task.Set(L"Name", FUtils.WndTitle);
  task.Set(L"Class", FUtils.WndClass);

  const HWND parent = FUtils.IsChild ? ::GetParent(FUtils.Wnd) : nullptr;
  if (parent) {
    int32_t between = 0;  // the windows strictly between the target and its topmost ancestor
    ShowInfo(TopmostAncestor(parent, &between));
    task.Set(L"pName", FUtils.WndTitle);
    task.Set(L"pClass", FUtils.WndClass);
    if (between > 0) task.Set(L"pLevels", std::to_wstring(between));
  }

  const std::wstring line = task.ToLine();
  if (ContainsIgnoreCase(FTaskList, line)) return;
  AddTaskItem(line);
  FTaskList.push_back(line);
  TasksChanged();
  SaveList(FIniFileName, FTaskList);
}
