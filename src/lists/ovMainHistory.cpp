// The History submenu: the windows worked on during this run.
#include "app/ovMainForm.h"

void TovFrmMain::AddHistory() {}
void TovFrmMain::HistoryItemClick(gui::MenuItem&) {}
