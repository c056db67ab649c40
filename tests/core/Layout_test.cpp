// Design-time layout: scaling to a DPI and stretching by anchors.
#include "core/Layout.h"

#include <gtest/gtest.h>

namespace {

TEST(Layout, ScalesDesignUnitsWithTheDpi) {
  struct Case {
    int value;
    int dpi;
    int scaled;
  };
  const Case cases[] = {
      {312, 96, 312}, {312, 144, 468}, {213, 144, 320},  // 319.5 rounds up
      {11, 144, 17},                                     // 16.5
      {10, 120, 13},                                     // 12.5
      {-7, 144, -11},                                    // -10.5 rounds away from zero
      {0, 192, 0},    {153, 192, 306},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
  }
  EXPECT_EQ(core::FontHeightForDpi(11, 96), -11);
  EXPECT_EQ(core::FontHeightForDpi(11, 144), -17);
}

TEST(Layout, ArrangesByAnchors) {
  const core::DesignSize parent{312, 213};
  const core::DesignRect memo{8, 52, 296, 153};
  struct Case {
    const char* name;
    core::Anchors anchors;
    int parentWidth;
    int parentHeight;
    int dpi;
    core::PixelRect expected;
  };
  const Case cases[] = {
      {"design size at 96", {true, true, true, true}, 312, 213, 96, {8, 52, 296, 153}},
      {"design size at 144", {true, true, true, true}, 468, 320, 144, {12, 78, 444, 230}},
      {"all four grow", {true, true, true, true}, 412, 263, 96, {8, 52, 396, 203}},
      {"all four grow at 144", {true, true, true, true}, 568, 370, 144, {12, 78, 544, 280}},
      {"left top stays", {true, true, false, false}, 412, 263, 96, {8, 52, 296, 153}},
      {"right bottom moves", {false, false, true, true}, 412, 263, 96, {108, 102, 296, 153}},
      {"no anchors keep the centre's share", {false, false, false, false}, 624, 426, 96, {164, 180, 296, 153}},
      {"smaller parent shrinks", {true, true, true, true}, 212, 113, 96, {8, 52, 196, 53}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::Arrange(memo, c.anchors, parent, c.parentWidth, c.parentHeight, c.dpi), c.expected) << c.name;
  }
}

}  // namespace
