#include "snap/ovEmpty.h"

TovEmpty* ovEmpty = nullptr;

namespace {

gui::FormDesign OverlayDesign() {
  gui::FormDesign design;
  design.className = L"SkimletOverlay";
  design.border = gui::BorderStyle::None;
  design.topmost = true;
  design.alpha = 128;
  design.color = ::GetSysColor(COLOR_WINDOW);
  return design;
}

}  // namespace

TovEmpty::TovEmpty() : Form(OverlayDesign()) {}

core::Rect SelectRegion() {
  ovEmpty->ShowModal();
  return core::NormalizeRect(ovEmpty->DragRect);
}
