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

// The same for a double, without the long double floor and fmod (sprite places are rounded many
// times a frame). Below 2^52 a double that gets 2^52 added and taken away again comes back rounded
// to the nearest integer, halves to even, in the default rounding mode, which the game never changes.
inline int32_t round32(double v) {
  constexpr double kTwo52 = 4503599627370496.0;
  if (!(std::fabs(v) < kTwo52)) return round32(static_cast<long double>(v));
  const double big = std::copysign(kTwo52, v);
  const double shifted = v + big;
  return static_cast<int32_t>(shifted - big);
}

}  // namespace kv
