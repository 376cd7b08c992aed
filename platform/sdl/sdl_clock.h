#pragma once
// Real time: SDL's millisecond counter and sleep (cut short by a stop signal), and the time of day
// for seeding.
#include "platform/seam/clock.h"

namespace kv {

class SdlClock : public Clock {
 public:
  uint32_t nowMs() override;
  void sleepMs(uint32_t ms) override;
  uint32_t seedValue() override;
};

// Milliseconds since midnight (UTC) of the given wall-clock time in milliseconds since 1970.
uint32_t timeOfDayMs(int64_t epochMs);

}  // namespace kv
