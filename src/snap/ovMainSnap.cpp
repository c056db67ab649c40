// The snapshot commands of the main window.
#include "app/ovMainForm.h"

void TovFrmMain::bSnapWinClick() {}
void TovFrmMain::bSnapRegClick() {}
void TovFrmMain::miSnapCursorClick() {}
