#pragma once
// TovFrmAbout: the borderless, half-transparent blue about window with the product name, the icon and the ways
// out to the maker: Check Update, Home, Supports. A click anywhere on it or a typed character closes it.
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

  void FormShow();
  void btnUpdateClick();
  void btnHomeClick();
  void btnSupportsClick();

 protected:
  void OnCreate() override;
  void OnShow() override { FormShow(); }
  void OnClick() override { Close(); }
  void OnKeyPress(wchar_t) override { Close(); }
};

extern TovFrmAbout* ovFrmAbout;
