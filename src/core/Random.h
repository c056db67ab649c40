#pragma once
// The task runner's pseudo-random generator: a linear congruential generator that always starts from seed 0, so
// every run makes the same sequence of draws.
#include <cstdint>

namespace core {

class RandomGenerator {
 public:
  // The runner's generator starts from 0; another start continues a sequence from that point.
  explicit RandomGenerator(uint32_t seed = 0) : seed_(seed) {}

  // The next draw in 0..range-1 (0 when range is 0): seed = seed * 134775813 + 1 modulo 2^32, and the draw is the
  // high 32 bits of the 64-bit product of the new seed and range.
  uint32_t Draw(uint32_t range);

  // Two generators are equal when they will make the same draws from now on.
  bool operator==(const RandomGenerator&) const = default;

 private:
  uint32_t seed_ = 0;
};

}  // namespace core
