#include "core/Geometry.h"

#include <utility>

namespace core {

Rect NormalizeRect(const Rect& r) {
  Rect n = r;
  if (n.right < n.left) std::swap(n.left, n.right);
  if (n.bottom < n.top) std::swap(n.top, n.bottom);
  return n;
}

}  // namespace core
