#pragma once
// Virtual time for headless runs: it starts at 0 and moves only when the program sleeps, presents or
// waits for input. Whoever consumes time as it passes (the virtual sound card) listens to advances.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/seam/clock.h"

namespace kv {

class VirtualClock : public Clock {
 public:
  uint32_t nowMs() override { return static_cast<uint32_t>(nowNs_ / 1'000'000); }
  void sleepMs(uint32_t ms) override { advanceTo(nowNs_ + uint64_t{ms} * 1'000'000); }
  uint32_t seedValue() override { return 0; }

  uint64_t nowNs() const { return nowNs_; }
  // Moves time forward (never back) and tells the listeners.
  void advanceTo(uint64_t ns);
  void onAdvance(std::function<void(uint64_t ns)> listener) { listeners_.push_back(std::move(listener)); }

 private:
  uint64_t nowNs_ = 0;
  std::vector<std::function<void(uint64_t)>> listeners_;
};

}  // namespace kv
