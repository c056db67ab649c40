#pragma once
// TovFrmBase: the design defaults of the about window (and any further dialog-like window): centred on the
// screen, Tahoma 11 px with the ANSI character set, the system's button-face colour, 1200x600 at 100,100 until
// a derived window says otherwise.
#include "gui/Form.h"

inline gui::FormDesign BaseFormDesign() {
  gui::FormDesign design;
  design.position = gui::FormPosition::ScreenCenter;
  design.origin = {100, 100};
  design.client = {1200, 600};
  design.font = gui::FontSpec{L"Tahoma", 11, false, ANSI_CHARSET};
  return design;
}

class TovFrmBase : public gui::Form {
 public:
  explicit TovFrmBase(gui::FormDesign design) : Form(std::move(design)) {}
};
