#pragma once
// Time: a wrapping millisecond counter and a blocking sleep.
#include <cstdint>

namespace kv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Timers and the harness read the time in milliseconds; it wraps at 2^32.
  virtual uint32_t nowMs() = 0;
  // The banner and the intro block the program for ms milliseconds.
  virtual void sleepMs(uint32_t ms) = 0;
  // Startup seeds the random generator from this (real time of day; fixed on the virtual clock).
  virtual uint32_t seedValue() = 0;
};

}  // namespace kv
