#include "core/Geometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(NormalizeRect, OrdersEachAxisOnItsOwn) {
  struct Case { core::Rect in; core::Rect want; };
  const Case cases[] = {
    {{10, 20, 5, 8}, {5, 8, 10, 20}},
    {{10, 8, 5, 20}, {5, 8, 10, 20}},
    {{5, 20, 10, 8}, {5, 8, 10, 20}},
    {{7, 7, 7, 7}, {7, 7, 7, 7}},
    {{-5, 3, -10, 3}, {-10, 3, -5, 3}},
    {{INT32_MAX, 0, INT32_MIN, 0}, {INT32_MIN, 0, INT32_MAX, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(core::NormalizeRect(c.in), c.want);
  EXPECT_TRUE(core::NormalizeRect({7, 7, 7, 7}).IsEmpty());
}

TEST(Rect, SizesAndFarEdgesWrapInsteadOfOverflowing) {
  // What a user can type into the position boxes: any 32-bit left and width.
  EXPECT_EQ((core::Rect{INT32_MIN, 0, INT32_MAX, 0}).Width(), -1);
  EXPECT_EQ((core::Rect{0, INT32_MAX, 0, INT32_MIN}).Height(), 1);
  EXPECT_EQ((core::Rect{-100, -50, 700, 550}).Width(), 800);
  EXPECT_EQ(core::WrappingSum(INT32_MAX, 1), INT32_MIN);
  const core::Rect typed{INT32_MAX, 10, core::WrappingSum(INT32_MAX, 20), core::WrappingSum(10, 30)};
  EXPECT_EQ(typed.Width(), 20);
  EXPECT_EQ(typed.Height(), 30);
}

TEST(ClientToScreen, ShiftsByTheVirtualScreenOrigin) {
  struct Case { core::Rect client; int32_t x; int32_t y; core::Rect want; };
  const Case cases[] = {
    {{10, 20, 110, 220}, 0, 0, {10, 20, 110, 220}},
    {{10, 20, 110, 220}, -1920, 0, {-1910, 20, -1810, 220}},  // a monitor left of the primary one
    {{0, 0, 1920, 1080}, 0, -1080, {0, -1080, 1920, 0}},       // a monitor above it
    {{5, 5, 5, 5}, -3, -4, {2, 1, 2, 1}},
    {{INT32_MAX, INT32_MIN, 0, 0}, 10, -10, {INT32_MAX, INT32_MIN, 10, -10}},  // clamped, not wrapped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::ClientToScreenPoint({c.client.right, c.client.bottom}, c.x, c.y),
              (core::Point{c.want.right, c.want.bottom}));
    EXPECT_EQ(core::ClientToScreenPoint({c.client.left, c.client.top}, c.x, c.y),
              (core::Point{c.want.left, c.want.top}));
  }
}

}  // namespace
