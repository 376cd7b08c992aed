#include "platform/headless/virtual_clock.h"

namespace kv {

void VirtualClock::advanceTo(uint64_t ns) {
  if (ns <= nowNs_) return;
  nowNs_ = ns;
  for (auto& l : listeners_) l(nowNs_);
}

}  // namespace kv
