#pragma once
// Screen rectangles: left, top, right, bottom in signed 32-bit pixels; right and bottom are exclusive.
#include <cstdint>

namespace core {

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

}  // namespace core
