#pragma once
// Design-time layout: rectangles in 96-DPI units, scaled to a window's real DPI and stretched by anchors
// when the parent's client area differs from its design size. No window calls here: it is tested natively with the rest
// of the core.
#include "core/Geometry.h"

namespace core {

inline constexpr int kDesignDpi = 96;

// Left, top, width, height, in the units of a 96-DPI design.
struct DesignRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct DesignSize {
  int width = 0;
  int height = 0;
};

// The edges of the parent that a control keeps its distance to. Left+Top is the usual fixed placement;
// all four make the control grow with its parent.
struct Anchors {
  bool left = true;
  bool top = true;
  bool right = false;
  bool bottom = false;
};

// value * dpi / 96, rounded to nearest (halves away from zero), the way MulDiv rounds.
int ScaleToDpi(int value, int dpi);

// The font height in logical units for a font of `pixels` at 96 DPI: negative, so it names the character height.
int FontHeightForDpi(int pixels, int dpi);

// Places a control: its design rectangle scaled to `dpi`, then moved or stretched by the difference between the
// parent's real client size (pixels) and the parent's design client size scaled to `dpi`. An axis with neither
// edge anchored keeps the control's centre at the same proportion of the parent.
PixelRect Arrange(const DesignRect& design, const Anchors& anchors, const DesignSize& parentDesign, int parentWidth,
                  int parentHeight, int dpi);

}  // namespace core
