// The main window's lists: the task and set files with their menus, and the close-or-click task runner.
#include "app/ovMainForm.h"

void TovFrmMain::LoadLists() {}
void TovFrmMain::BuildListMenus() {}
void TovFrmMain::AddTaskItem(const std::wstring&) {}
void TovFrmMain::AddSet(const std::wstring&) {}
void TovFrmMain::miAddSetClick(gui::MenuItem&) {}
void TovFrmMain::miAddTaskClick() {}
void TovFrmMain::RunNextTask() {}
