#pragma once
// TovFrmAbout: the borderless, half-transparent blue about window with the product name, the icon and the ways
// out to the maker: Check Update, Home, Supports. A click anywhere on it, a typed character, Esc or Enter closes
// it. Each time it is shown the focus is on the window itself (it has nothing to type into), so that any key
// reaches it; Tab moves on to the buttons.
#include "app/ovFormBase.h"
#include "gui/Controls.h"
#include "gui/PaintedControls.h"

class TovFrmAbout : public TovFrmBase {
 public:
  TovFrmAbout();

  gui::Image img;
  gui::Label lblProduct;
  gui::Label lblCopright;
  gui::Panel pnl2;
  gui::Button btnUpdate;
  gui::Button btnHome;
  gui::Button btnSupports;
  gui::Button btnClose;

  void FormCreate();
  void FormShow();
  void btnUpdateClick();
  void btnHomeClick();
  void btnSupportsClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool FFocusSelf = false;  // shown and not yet active: the focus goes to the window itself
};

extern TovFrmAbout* ovFrmAbout;
