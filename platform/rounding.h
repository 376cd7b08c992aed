#pragma once
// Floating-point values become integers by rounding to the nearest, halves to even, everywhere.
#include <cmath>
#include <cstdint>

namespace kv {

inline int64_t roundEven(long double v) {
  const long double f = std::floor(v);
  const long double d = v - f;
  long double r;
  if (d < 0.5L) {
    r = f;
  } else if (d > 0.5L) {
    r = f + 1;
  } else {
    r = std::fmod(f, 2.0L) == 0 ? f : f + 1;
  }
  return static_cast<int64_t>(r);
}

inline int32_t round32(long double v) {
  return static_cast<int32_t>(roundEven(v));
}

}  // namespace kv
