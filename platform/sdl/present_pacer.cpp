#include "platform/sdl/present_pacer.h"

#include <chrono>
#include <thread>

namespace kv {

uint64_t SteadyPacerTime::nowNs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

void SteadyPacerTime::sleepUntilNs(uint64_t ns) {
  std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns)));
}

void PresentPacer::setRefreshHz(int hz) {
  periodNs_ = 1'000'000'000ull / static_cast<uint64_t>(hz > 1 ? hz : 75);
}

void PresentPacer::present(int vblanks, const std::function<void()>& show) {
  const uint64_t start = time_.nowNs();
  show();
  const uint64_t end = time_.nowNs();
  if (vblanks <= 0) {
    // An unsynchronised present counts as a refresh boundary for the next synchronised one.
    dueNs_ = end;
    haveDue_ = true;
    return;
  }
  ++stats_.presents;
  stats_.presentNs += end - start;
  const uint64_t want = periodNs_ * static_cast<uint64_t>(vblanks);
  // The schedule keeps its phase while the presents keep up with it, so small early ends (timer
  // jitter, a display slightly faster than it reports) do not add up to a faster pace; a present that
  // ends late moves the schedule instead of making the next ones catch up in a burst.
  // The first present has nothing to keep a distance from.
  const uint64_t due = haveDue_ ? dueNs_ + want : end;
  const uint64_t slack = periodNs_ / 8;
  if (end + slack < due) {
    // The display let the present through early: hold the rest of the period here.
    time_.sleepUntilNs(due);
    ++stats_.held;
    stats_.heldNs += time_.nowNs() - end;
    dueNs_ = due;
  } else {
    dueNs_ = end > due ? end : due;
  }
  haveDue_ = true;
}

}  // namespace kv
