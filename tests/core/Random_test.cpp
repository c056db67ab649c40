#include "core/Random.h"

#include <gtest/gtest.h>

namespace {

TEST(RandomGenerator, FollowsTheFixedSequenceFromSeedZero) {
  // Worked out by hand: seed' = seed * 134775813 + 1 (mod 2^32), draw = (seed' * 7) >> 32.
  struct Step { uint32_t seed; uint32_t draw; };
  const Step steps[] = {
    {1u, 0}, {134775814u, 0}, {3698175007u, 6}, {870078620u, 1}, {1172187917u, 1}, {2884733762u, 4},
  };
  core::RandomGenerator generator;
  for (const Step& s : steps) {
    EXPECT_EQ(generator.Draw(7), s.draw);
    EXPECT_EQ(generator, core::RandomGenerator(s.seed));
  }
}

TEST(RandomGenerator, StaysInRangeAndDrawsZeroAboutOneTimeInSeven) {
  core::RandomGenerator generator;
  int zeros = 0;
  constexpr int kDraws = 70000;
  for (int i = 0; i < kDraws; ++i) {
    const uint32_t d = generator.Draw(7);
    ASSERT_LT(d, 7u);
    if (d == 0) ++zeros;
  }
  EXPECT_NEAR(zeros, kDraws / 7, kDraws / 70);
  EXPECT_EQ(generator.Draw(0), 0u);
}

}  // namespace
