#include "core/Layout.h"

#include <cstdint>

namespace core {
namespace {

struct Axis {
  int start;
  int length;
};

// One axis of Arrange: `extra` is how much larger the parent is than its scaled design size.
Axis ArrangeAxis(int start, int length, bool nearEdge, bool farEdge, int extra, int parentDesign, int parentReal) {
  if (nearEdge && farEdge) return {start, length + extra};
  if (farEdge) return {start + extra, length};
  if (nearEdge) return {start, length};
  // Neither edge: keep the centre at the same fraction of the parent.
  if (parentDesign <= 0) return {start, length};
  const std::int64_t centre2 = 2LL * start + length;  // twice the centre, to stay in integers
  const std::int64_t movedCentre2 = centre2 * parentReal / parentDesign;
  return {static_cast<int>((movedCentre2 - length) / 2), length};
}

}  // namespace

int ScaleToDpi(int value, int dpi) {
  const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
  const std::int64_t half = kDesignDpi / 2;
  const std::int64_t rounded = product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
  return static_cast<int>(rounded);
}

int FontHeightForDpi(int pixels, int dpi) { return -ScaleToDpi(pixels, dpi); }

PixelRect Arrange(const DesignRect& design, const Anchors& anchors, const DesignSize& parentDesign, int parentWidth,
                  int parentHeight, int dpi) {
  const int scaledParentWidth = ScaleToDpi(parentDesign.width, dpi);
  const int scaledParentHeight = ScaleToDpi(parentDesign.height, dpi);
  const Axis x = ArrangeAxis(ScaleToDpi(design.left, dpi), ScaleToDpi(design.width, dpi), anchors.left, anchors.right,
                             parentWidth - scaledParentWidth, scaledParentWidth, parentWidth);
  const Axis y = ArrangeAxis(ScaleToDpi(design.top, dpi), ScaleToDpi(design.height, dpi), anchors.top, anchors.bottom,
                             parentHeight - scaledParentHeight, scaledParentHeight, parentHeight);
  return {x.start, y.start, x.length, y.length};
}

}  // namespace core
