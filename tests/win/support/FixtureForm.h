#pragma once
// A form for tests: its hooks count what happened and call optional test-supplied functions.
#include <functional>

#include "gui/Form.h"

namespace fixture {

// Topmost, at a fixed place on the primary screen, 312 x 213 client at 96 DPI.
gui::FormDesign TestDesign();

class FixtureForm : public gui::Form {
 public:
  explicit FixtureForm(gui::FormDesign design = TestDesign()) : Form(std::move(design)) {}

  std::function<void()> create;
  std::function<bool()> closeQuery;  // unset: the form may close
  std::function<void()> click;
  std::function<void(wchar_t)> keyPress;
  int shows = 0;
  int hides = 0;
  int closeQueries = 0;

 protected:
  void OnCreate() override {
    if (create) create();
  }
  void OnShow() override { ++shows; }
  void OnHide() override { ++hides; }
  bool OnCloseQuery() override {
    ++closeQueries;
    return closeQuery ? closeQuery() : true;
  }
  void OnClick() override {
    if (click) click();
  }
  void OnKeyPress(wchar_t character) override {
    if (keyPress) keyPress(character);
  }
};

}  // namespace fixture
