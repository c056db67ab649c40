#include "support/FixtureForm.h"

namespace fixture {

gui::FormDesign TestDesign() {
  gui::FormDesign design;
  design.className = L"SkimletTestForm";
  design.caption = L"Test form";
  design.client = {312, 213};
  design.topmost = true;
  design.origin = {200, 150};
  return design;
}

}  // namespace fixture
