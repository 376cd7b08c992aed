#include "platform/audio/output_limiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kv {

namespace {

constexpr double kKnee = OutputLimiter::kKnee;
constexpr double kRoom = OutputLimiter::kCeiling - OutputLimiter::kKnee;
// Peaks within 0.01 dB of each other count as equally loud.
constexpr double kSamePeak = 1.001;

// The level a frame of peak `level` comes out at: itself up to the knee, then bending smoothly
// towards the ceiling without ever reaching it.
double limitedLevel(double level) {
  return level <= kKnee ? level : kKnee + kRoom * std::tanh((level - kKnee) / kRoom);
}

int16_t saturate(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767));
}

}  // namespace

void OutputLimiter::setSampleRate(int hz) {
  const double rate = hz > 0 ? hz : 44100;
  holdFrames_ = static_cast<int>(kHoldSeconds * rate);
  releaseStep_ = std::pow(10.0, kReleaseDbPerSecond / 20 / rate);
  reset();
}

void OutputLimiter::reset() {
  gain_ = 1;
  holdLeft_ = 0;
}

void OutputLimiter::process(const int32_t* in, int16_t* out, int frames) noexcept {
  for (int i = 0; i < frames; ++i) {
    const int32_t left = in[2 * i], right = in[2 * i + 1];
    if (!enabled_) {
      out[2 * i] = saturate(left);
      out[2 * i + 1] = saturate(right);
      continue;
    }
    const double level = std::max(std::abs(static_cast<double>(left)), std::abs(static_cast<double>(right)));
    const double needed = level > kKnee ? limitedLevel(level) / level : 1.0;
    if (needed < 1 && needed < gain_ * kSamePeak) {
      // A peak as loud as the one that set the gain (a steady tone's next one) holds it longer.
      gain_ = std::min(gain_, needed);
      holdLeft_ = holdFrames_;
    } else if (holdLeft_ > 0) {
      --holdLeft_;
    } else if (gain_ < 1) {
      gain_ = std::min(1.0, gain_ * releaseStep_);
      gain_ = std::min(gain_, needed);
    }
    if (gain_ == 1) {
      // Untouched, so a quiet mix comes out exactly as it was summed.
      out[2 * i] = saturate(left);
      out[2 * i + 1] = saturate(right);
    } else {
      out[2 * i] = saturate(static_cast<int32_t>(std::lround(left * gain_)));
      out[2 * i + 1] = saturate(static_cast<int32_t>(std::lround(right * gain_)));
    }
  }
}

}  // namespace kv
