#pragma once
// The game's single pseudo-random generator: a 32-bit linear congruential sequence, seeded once.
#include <cstdint>

namespace kv {

class RandomGenerator {
 public:
  void seed(uint32_t s) { state_ = s; }
  uint32_t state() const { return state_; }
  // A uniform integer in 0..n-1; 0 when n is 0 or negative.
  int32_t next(int32_t n) {
    state_ = state_ * 134775813u + 1u;
    if (n <= 0) return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(state_) * static_cast<uint32_t>(n)) >> 32);
  }

 private:
  uint32_t state_ = 0;
};

extern RandomGenerator randomGenerator;

inline int32_t Random(int32_t n) {
  return randomGenerator.next(n);
}

}  // namespace kv
