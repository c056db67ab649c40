#pragma once
// Screen rectangles: left, top, right, bottom in signed 32-bit pixels; right and bottom are exclusive.
#include <cstdint>

namespace core {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Orders the corners: left <= right and top <= bottom, each axis on its own; equal coordinates stay.
Rect NormalizeRect(const Rect& r);

// From the client coordinates of a window that covers the virtual screen to screen coordinates, given the
// virtual screen's top-left corner (negative when a monitor lies left of or above the primary one). Results
// outside the 32-bit range are clamped to it.
Point ClientToScreenPoint(Point client, int32_t originX, int32_t originY);
Rect ClientToScreenRect(const Rect& client, int32_t originX, int32_t originY);

}  // namespace core
