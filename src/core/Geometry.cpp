#include "core/Geometry.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace core {

namespace {

int32_t ClampedSum(int32_t a, int32_t b) {
  const int64_t sum = static_cast<int64_t>(a) + b;
  return static_cast<int32_t>(
      std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

Rect NormalizeRect(const Rect& r) {
  Rect n = r;
  if (n.right < n.left) std::swap(n.left, n.right);
  if (n.bottom < n.top) std::swap(n.top, n.bottom);
  return n;
}

Point ClientToScreenPoint(Point client, int32_t originX, int32_t originY) {
  return {ClampedSum(client.x, originX), ClampedSum(client.y, originY)};
}

}  // namespace core
