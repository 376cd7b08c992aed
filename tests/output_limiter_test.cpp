#include "platform/audio/output_limiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace kv {
namespace {

// frames of a 100 Hz sine at `amplitude` on the left and `amplitude` * rightShare on the right,
// after `quiet` frames of a sine just below the knee.
std::vector<int32_t> burst(int quiet, int frames, double amplitude, double rightShare) {
  std::vector<int32_t> v;
  for (int i = 0; i < quiet + frames; ++i) {
    const double a = i < quiet ? OutputLimiter::kKnee - 1 : amplitude;
    const double s = std::sin(2 * std::numbers::pi * 100 * i / 44100.0);
    v.push_back(static_cast<int32_t>(std::lround(a * s)));
    v.push_back(static_cast<int32_t>(std::lround(a * rightShare * s)));
  }
  return v;
}

std::vector<int16_t> run(OutputLimiter& limiter, const std::vector<int32_t>& in) {
  std::vector<int16_t> out(in.size());
  limiter.process(in.data(), out.data(), static_cast<int>(in.size() / 2));
  return out;
}

TEST(OutputLimiterTest, AQuietMixPassesExactlyAndALoudOneStaysBelowTheCeilingWithoutAStep) {
  OutputLimiter limiter(44100);
  // Half a second just below the knee, then half a second of three times full scale (the left
  // channel; the right at half of it), then silence.
  std::vector<int32_t> in = burst(22050, 22050, 3 * 32768.0, 0.5);
  in.resize(in.size() + 2 * 44100, 0);
  const std::vector<int16_t> out = run(limiter, in);
  for (size_t i = 0; i < 2 * 22050; ++i) ASSERT_EQ(out[i], in[i]) << i;

  int peak = 0;
  for (size_t i = 2 * 22050; i < out.size(); ++i) {
    peak = std::max(peak, std::abs(int{out[i]}));
    // No frame moves further than the sum itself did: nothing is cut off into a step.
    ASSERT_LE(std::abs(out[i] - out[i - 2]), std::abs(in[i] - in[i - 2]) + 2) << i;
    // Both channels share one gain, so the picture of the sound stays where it was.
    if (i % 2 == 1 && std::abs(out[i - 1]) > 2000) {
      ASSERT_NEAR(static_cast<double>(out[i]) / out[i - 1], 0.5, 0.01) << i;
    }
  }
  EXPECT_LE(peak, OutputLimiter::kCeiling);
  EXPECT_GT(peak, OutputLimiter::kCeiling - 600);  // brought down to the ceiling, not far below it
  // Past its first peak the burst keeps its shape: one steady gain, no flattened tops.
  const double g = static_cast<double>(out[2 * 33075 + 2 * 110]) / in[2 * 33075 + 2 * 110];
  for (size_t i = 2 * 33075; i < 2 * 44100; ++i) ASSERT_NEAR(out[i], in[i] * g, 1.0) << i;

  // After the burst the gain holds, then comes back at its own pace to exactly 1.
  EXPECT_EQ(limiter.gain(), 1.0);
  OutputLimiter again(44100);
  run(again, burst(0, 4410, 3 * 32768.0, 1));
  const double held = again.gain();
  EXPECT_NEAR(held, OutputLimiter::kCeiling / (3 * 32768.0), 0.01);
  std::vector<int32_t> silence(2 * 1000, 0);
  run(again, silence);  // within the hold
  EXPECT_EQ(again.gain(), held);
  const double dbBack = -20 * std::log10(held);
  const int framesBack = static_cast<int>(dbBack / OutputLimiter::kReleaseDbPerSecond * 44100);
  silence.assign(2 * (framesBack + 1764 - 1000 - 200), 0);
  run(again, silence);
  EXPECT_LT(again.gain(), 1.0);
  silence.assign(2 * 400, 0);
  run(again, silence);
  EXPECT_EQ(again.gain(), 1.0);

  // Switched off, the sum is only saturated, as the mixer's own output is.
  OutputLimiter off(44100);
  off.setEnabled(false);
  const std::vector<int32_t> loud = {40000, -40000, 1234, -5};
  EXPECT_EQ(run(off, loud), (std::vector<int16_t>{32767, -32768, 1234, -5}));
}

}  // namespace
}  // namespace kv
