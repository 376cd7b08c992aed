#pragma once
// Holds presents that wait for the vertical blank to one per k refresh periods when the display
// does not make them wait by itself (virtual and remote displays, renderers whose vsync is only a
// flag). It measures instead of trusting: after each present it looks at how long it has been since
// the previous one and sleeps only for what the display left out, so on a display that really
// blocks it does nothing, and the game never runs faster than the display either way.
#include <cstdint>
#include <functional>

namespace kv {

// Where the pacer reads the time and sleeps; the real one is the steady clock, tests inject their own.
class PacerTime {
 public:
  virtual ~PacerTime() = default;
  virtual uint64_t nowNs() = 0;
  virtual void sleepUntilNs(uint64_t ns) = 0;
};

class SteadyPacerTime : public PacerTime {
 public:
  uint64_t nowNs() override;
  void sleepUntilNs(uint64_t ns) override;
};

struct PacerStats {
  uint64_t presents = 0;   // presents that asked for the vertical blank
  uint64_t held = 0;       // of those, how many the pacer had to hold back
  uint64_t heldNs = 0;     // time it spent holding
  uint64_t presentNs = 0;  // time spent inside those presents (the display's own waiting)
};

class PresentPacer {
 public:
  explicit PresentPacer(PacerTime& time) : time_(time) {}

  // The refresh rate to pace at; 0 or 1 (unknown) paces at 75 Hz.
  void setRefreshHz(int hz);
  uint64_t periodNs() const { return periodNs_; }

  // Runs show (which puts one frame on the screen) and then, for vblanks > 0, holds until vblanks
  // refresh periods have passed since the previous present. vblanks <= 0 never waits.
  void present(int vblanks, const std::function<void()>& show);

  const PacerStats& stats() const { return stats_; }
  // Forget the schedule (after the display was gone for a while).
  void reset() { haveDue_ = false; }

 private:
  PacerTime& time_;
  uint64_t periodNs_ = 1'000'000'000ull / 75;
  uint64_t dueNs_ = 0;  // when the next paced present may end at the earliest (before adding k periods)
  bool haveDue_ = false;
  PacerStats stats_;
};

}  // namespace kv
