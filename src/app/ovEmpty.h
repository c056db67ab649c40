#pragma once
// TovEmpty: the region overlay. A borderless, topmost, half-transparent window over the whole virtual screen (every
// monitor) with a crosshair cursor, on which the user drags a rectangle with the left button. While the button is
// held, an inverted frame follows the pointer directly on the screen; the release erases it and closes the overlay.
//
//   core::Rect region = SelectRegion();   // shows ovEmpty modally; screen coordinates, normalised
//
// There is no way to cancel: closing the overlay in any other way (Alt+F4) returns the rectangle left from the
// previous use. The overlay neither captures the mouse nor handles the keyboard.
#include <windows.h>

#include "core/Geometry.h"
#include "gui/Form.h"

class TovEmpty : public gui::Form {
 public:
  TovEmpty();

  bool Dragging = false;
  core::Rect OldRect;   // the drag rectangle before the latest move: its frame is the one to erase
  core::Rect DragRect;  // left/top: the anchor; right/bottom: the latest pointer position (not normalised)

  // Places the overlay over the virtual screen as it is now (monitors may have changed since the last use).
  void CoverVirtualScreen();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void WMLButtonDown(core::Point screen);
  void WMMouseMove(core::Point screen);
  void WMLButtonUp();
  // The message's client point (signed 16-bit values) in screen coordinates.
  core::Point ScreenPoint(LPARAM lParam) const;
  void UpdateOrigin();

  core::Point FOrigin;  // screen position of the client area's top-left corner, kept as the window moves
};

// Shows the overlay modally and returns the dragged rectangle, normalised, in screen coordinates, once the windows
// it covered have repainted (the caller captures the screen at once).
core::Rect SelectRegion();

// Inverts a frame two pixels wide along the inside edges of `rect` (normalised first) directly on the screen;
// nothing for an empty rectangle. Drawing the same frame twice restores the screen exactly.
void InvertFrame(const core::Rect& rect);

extern TovEmpty* ovEmpty;
