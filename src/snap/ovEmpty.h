#pragma once
// TovEmpty: the region overlay. A borderless, topmost, half-transparent window over the screen on which the user
// drags a rectangle; SelectRegion shows it modally and returns the rectangle in screen coordinates.
#include "core/Geometry.h"
#include "gui/Form.h"

class TovEmpty : public gui::Form {
 public:
  TovEmpty();

  bool Dragging = false;
  core::Rect OldRect;
  core::Rect DragRect;  // left/top: the anchor; right/bottom: the latest pointer position (not normalised)
};

// Shows the overlay modally and returns the dragged rectangle, normalised.
core::Rect SelectRegion();

extern TovEmpty* ovEmpty;
