#include "support/Backdrop.h"

#include "app/ovEmpty.h"
#include "support/FixtureForm.h"

namespace fixture {

gui::FormDesign BackdropDesign(const wchar_t* className, core::DesignSize client, bool topmost) {
  gui::FormDesign design = TestDesign();
  design.className = className;
  design.border = gui::BorderStyle::None;
  design.topmost = topmost;
  design.origin = {0, 0};
  design.client = client;
  design.color = kBackdrop;
  return design;
}

bool OverlayUp() { return ovEmpty && ovEmpty->Visible(); }

}  // namespace fixture
