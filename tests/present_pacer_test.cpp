#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/sdl/present_pacer.h"

namespace kv {
namespace {

constexpr uint64_t kMs = 1'000'000;
constexpr uint64_t kSecond = 1'000 * kMs;

class FakeTime : public PacerTime {
 public:
  uint64_t nowNs() override { return t; }
  void sleepUntilNs(uint64_t ns) override { t = std::max(t, ns); }
  uint64_t t = 5 * kSecond;  // not at zero, so nothing depends on a clean start
};

// Runs presents the way the game does: some work, then a present; records when each present ended.
struct PacedRun {
  FakeTime time;
  PresentPacer pacer{time};
  std::vector<uint64_t> ends;

  // A display that shows at once (the blit itself takes a tenth of a millisecond).
  void immediate(int count, int vblanks, uint64_t workNs) {
    for (int i = 0; i < count; ++i) {
      time.t += workNs;
      pacer.present(vblanks, [this] { time.t += kMs / 10; });
      ends.push_back(time.t);
    }
  }
  // A display that really waits for its own vertical blank every periodNs (plus a small wobble).
  void blocking(int count, int vblanks, uint64_t workNs, uint64_t periodNs, uint64_t wobbleNs = 0) {
    for (int i = 0; i < count; ++i) {
      time.t += workNs;
      pacer.present(vblanks, [&, i] {
        for (int k = 0; k < std::max(vblanks, 1); ++k) time.t = (time.t / periodNs + 1) * periodNs;
        time.t += (i % 3) * wobbleNs;
      });
      ends.push_back(time.t);
    }
  }
  uint64_t minInterval(size_t from = 1) const {
    uint64_t m = UINT64_MAX;
    for (size_t i = std::max<size_t>(from, 1); i < ends.size(); ++i) m = std::min(m, ends[i] - ends[i - 1]);
    return m;
  }
};

TEST(PresentPacerTest, HoldsADisplayThatDoesNotWaitToTheRefreshRate) {
  PacedRun r;
  r.pacer.setRefreshHz(60);
  const uint64_t period = r.pacer.periodNs();
  EXPECT_EQ(period, kSecond / 60);
  const uint64_t start = r.time.t;
  r.immediate(600, 1, kMs);
  // 600 frames at 60 Hz take ten seconds, each one a full period after the one before.
  EXPECT_GE(r.time.t - start, 600 * period - period);
  EXPECT_LE(r.time.t - start, 600 * period + period);
  EXPECT_GE(r.minInterval(), period);
  EXPECT_GE(r.pacer.stats().held, 599u);
  EXPECT_EQ(r.pacer.stats().presents, 600u);
}

TEST(PresentPacerTest, SeveralVerticalBlanksPerFrame) {
  PacedRun r;
  r.pacer.setRefreshHz(144);
  const uint64_t start = r.time.t;
  r.immediate(144, 2, kMs);
  // Every second refresh: 72 frames a second.
  EXPECT_GE(r.time.t - start, 143 * 2 * r.pacer.periodNs());
  EXPECT_GE(r.minInterval(), 2 * r.pacer.periodNs());
}

TEST(PresentPacerTest, UnknownRatePacesAt75Hz) {
  PacedRun r;
  r.pacer.setRefreshHz(0);
  EXPECT_EQ(r.pacer.periodNs(), kSecond / 75);
  const uint64_t start = r.time.t;
  r.immediate(75, 1, 0);
  EXPECT_GE(r.time.t - start, 74 * (kSecond / 75));
}

TEST(PresentPacerTest, LeavesADisplayThatWaitsAlone) {
  PacedRun r;
  r.pacer.setRefreshHz(60);
  const uint64_t period = r.pacer.periodNs();
  // The display blocks at its own blanks, with a wobble of a few tenths of a millisecond.
  r.blocking(600, 1, 2 * kMs, period, 3 * kMs / 10);
  EXPECT_EQ(r.pacer.stats().held, 0u);
  EXPECT_EQ(r.pacer.stats().heldNs, 0u);
  // A display slower than the rate the pacer was told (Xvfb waits at about 63 Hz, the pacer
  // assumes 75 when the rate is unknown) is never held either.
  PacedRun slow;
  slow.pacer.setRefreshHz(0);
  slow.blocking(300, 1, kMs, kSecond / 63);
  EXPECT_EQ(slow.pacer.stats().held, 0u);
  EXPECT_GE(slow.minInterval(), kSecond / 63 - 1);
}

TEST(PresentPacerTest, NeverFasterThanTheRateItWasGiven) {
  // A display that waits, but at 61 Hz where it reports 60.
  PacedRun r;
  r.pacer.setRefreshHz(60);
  const uint64_t start = r.time.t;
  r.blocking(1200, 1, kMs, kSecond / 61);
  const double seconds = static_cast<double>(r.time.t - start) / kSecond;
  EXPECT_LE(1200 / seconds, 60.05);
  // A game whose own work almost fills the period must not creep ahead by the pacer's tolerance.
  PacedRun w;
  w.pacer.setRefreshHz(60);
  const uint64_t wstart = w.time.t;
  w.immediate(1000, 1, w.pacer.periodNs() * 95 / 100);
  EXPECT_GE(w.time.t - wstart, 999 * w.pacer.periodNs());
}

TEST(PresentPacerTest, ALateFrameDoesNotCauseABurst) {
  PacedRun r;
  r.pacer.setRefreshHz(60);
  const uint64_t period = r.pacer.periodNs();
  r.immediate(10, 1, kMs);
  r.time.t += 250 * kMs;  // the game stalled (a banner's sleep)
  r.immediate(1, 1, kMs);
  const size_t afterStall = r.ends.size();
  r.immediate(20, 1, kMs);
  // Once late, the schedule starts again from the late frame instead of catching up.
  EXPECT_GE(r.minInterval(afterStall), period);
  // A game slower than the display is never held.
  PacedRun slow;
  slow.pacer.setRefreshHz(60);
  slow.immediate(50, 1, 30 * kMs);
  EXPECT_EQ(slow.pacer.stats().held, 0u);
}

TEST(PresentPacerTest, UnsynchronisedPresentsNeverWait) {
  PacedRun r;
  r.pacer.setRefreshHz(60);
  const uint64_t start = r.time.t;
  r.immediate(100, 0, kMs / 2);
  EXPECT_EQ(r.time.t - start, 100 * (kMs / 2 + kMs / 10));
  EXPECT_EQ(r.pacer.stats().presents, 0u);
  // The first synchronised present after them still keeps a refresh period from the last one.
  const uint64_t last = r.time.t;
  r.immediate(1, 1, 0);
  EXPECT_GE(r.time.t - last, r.pacer.periodNs());
}

}  // namespace
}  // namespace kv
