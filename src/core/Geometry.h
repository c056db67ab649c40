#pragma once
// Screen rectangles: left, top, right, bottom in signed 32-bit pixels (right and bottom exclusive), or a position
// and a size.
#include <cstdint>

namespace core {

// a + b and a - b with 32-bit wrap-around instead of undefined overflow: a far edge from a start and a size, and
// back.
constexpr int32_t WrappingSum(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t WrappingDifference(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A position and a size in pixels: a control placed in its parent's client area, a window's place as --rect gives
// it (the values kept as typed, as the Set button keeps the edit boxes').
struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // Sizes wrap like the 32-bit machine words they are, so no rectangle, however typed in, makes them undefined.
  int32_t Width() const { return WrappingDifference(right, left); }
  int32_t Height() const { return WrappingDifference(bottom, top); }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Orders the corners: left <= right and top <= bottom, each axis on its own; equal coordinates stay.
Rect NormalizeRect(const Rect& r);

// From the client coordinates of a window that covers the virtual screen to screen coordinates, given the
// virtual screen's top-left corner (negative when a monitor lies left of or above the primary one). Results
// outside the 32-bit range are clamped to it.
Point ClientToScreenPoint(Point client, int32_t originX, int32_t originY);

}  // namespace core
