// The information panel of the main window.
#include "app/ovMainForm.h"

void TovFrmMain::ShowInfo(HWND) {}
void TovFrmMain::grabGrab() {}
void TovFrmMain::grabDone() {}
void TovFrmMain::cbEnableClick() {}
void TovFrmMain::cbVisibleClick() {}
void TovFrmMain::cbTopmostClick() {}
void TovFrmMain::tpChange() {}
void TovFrmMain::bSizeClick() {}
void TovFrmMain::topParent(const gui::MouseEvent&) {}
void TovFrmMain::WMLButtonDown(POINT, UINT) {}
