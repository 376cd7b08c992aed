#include "core/speed_table.h"

#include "platform/support/rounding.h"

namespace kv {

SpeedChoice chooseSpeeds(int32_t reportedRate) {
  SpeedChoice c;
  int32_t rate = reportedRate;
  // 0 and 1 are what drivers report for "the default rate": they say nothing about the display.
  if (rate <= 1) rate = 75;
  if (rate > 120) {
    c.vblanksPerFrame = (rate + 119) / 120;
    rate = round32(static_cast<long double>(rate) / c.vblanksPerFrame);
  }
  c.refreshRate = rate;
  // Each row is tested on its own, as the table was always read.
  if (rate >= 120) c.fastSpeed = 6, c.normalSpeed = 3, c.slowSpeed = 1;
  if (rate >= 100 && rate <= 119) c.fastSpeed = 7, c.normalSpeed = 4, c.slowSpeed = 2;
  if (rate >= 85 && rate <= 99) c.fastSpeed = 8, c.normalSpeed = 5, c.slowSpeed = 3;
  if (rate >= 75 && rate <= 84) c.fastSpeed = 9, c.normalSpeed = 6, c.slowSpeed = 4;
  if (rate >= 1 && rate <= 74) c.fastSpeed = 10, c.normalSpeed = 7, c.slowSpeed = 5;
  return c;
}

}  // namespace kv
