#include "core/Random.h"

namespace core {

namespace {
constexpr uint32_t kMultiplier = 134775813u;
}  // namespace

uint32_t RandomGenerator::Draw(uint32_t range) {
  seed_ = seed_ * kMultiplier + 1u;  // unsigned: wraps modulo 2^32 by definition
  return static_cast<uint32_t>((static_cast<uint64_t>(seed_) * range) >> 32);
}

}  // namespace core
