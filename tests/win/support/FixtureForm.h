#pragma once
// A form for tests: it counts its showing, hiding and close questions, and asks an optional test-supplied function
// whether it may close; the test sets its other events.
#include <functional>

#include "gui/Form.h"

namespace fixture {

// Topmost, at a fixed place on the primary screen, 312 x 213 client at 96 DPI.
gui::FormDesign TestDesign();

class FixtureForm : public gui::Form {
 public:
  explicit FixtureForm(gui::FormDesign design = TestDesign()) : Form(std::move(design)) {
    OnShow = [this] { ++shows; };
    OnHide = [this] { ++hides; };
    OnCloseQuery = [this] {
      ++closeQueries;
      return closeQuery ? closeQuery() : true;
    };
  }

  std::function<bool()> closeQuery;  // unset: the form may close
  int shows = 0;
  int hides = 0;
  int closeQueries = 0;
};

}  // namespace fixture
