#pragma once
// A form for tests: its events count what happened and call optional test-supplied functions.
#include <functional>

#include "gui/Form.h"

namespace fixture {

// Topmost, at a fixed place on the primary screen, 312 x 213 client at 96 DPI.
gui::FormDesign TestDesign();

class FixtureForm : public gui::Form {
 public:
  explicit FixtureForm(gui::FormDesign design = TestDesign()) : Form(std::move(design)) {
    OnCreate = [this] {
      if (create) create();
    };
    OnShow = [this] { ++shows; };
    OnHide = [this] { ++hides; };
    OnCloseQuery = [this] {
      ++closeQueries;
      return closeQuery ? closeQuery() : true;
    };
    OnClick = [this] {
      if (click) click();
    };
    OnKeyPress = [this](wchar_t character) {
      if (keyPress) keyPress(character);
    };
  }

  std::function<void()> create;
  std::function<bool()> closeQuery;  // unset: the form may close
  std::function<void()> click;
  std::function<void(wchar_t)> keyPress;
  int shows = 0;
  int hides = 0;
  int closeQueries = 0;
};

}  // namespace fixture
