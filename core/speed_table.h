#pragma once
// The game's pace follows the display: one redraw per shown frame, and the speeds chosen here say
// how many ticks each redraw spans. Faster displays get smaller values.
#include <cstdint>

namespace kv {

struct SpeedChoice {
  int32_t refreshRate = 0;      // the effective rate the game runs at, in Hz
  int32_t vblanksPerFrame = 1;  // vertical blanks each waiting flip waits for
  int32_t fastSpeed = 0, normalSpeed = 0, slowSpeed = 0;
};

// From the rate the platform reports (Hz, rounded; 0 or 1 = cannot tell, counted as 75 Hz). Above
// 120 Hz only every k-th refresh shows a redraw (k = ceil(rate / 120)) and the effective rate is
// rate / k; rates from 2 to 59 Hz use the 60 Hz speeds.
SpeedChoice chooseSpeeds(int32_t reportedRate);

}  // namespace kv
