#pragma once
// The last stage before the sound card. The voices' sum goes well past full scale when the music,
// the engine and a few effects meet (a crash under a jump under a shot), and cutting those peaks
// flat crackles. Below the knee the mix passes unchanged, sample for sample; a louder frame brings
// the gain of both channels down at once, along a soft curve that bends towards the ceiling, and
// the gain then holds a moment and comes back up slowly, so the music ducks under a crash instead.
// No sample ever reaches full scale. It runs on the audio thread: no allocation, nothing thrown.
#include <cstdint>

namespace kv {

class OutputLimiter {
 public:
  // -1 dBFS: the music alone peaks just below it, so a level without effects is not touched.
  static constexpr int32_t kKnee = 29200;
  // About -0.45 dBFS: no sample goes past it, whatever comes in.
  static constexpr int32_t kCeiling = 31000;

  explicit OutputLimiter(int sampleRate = 44100) { setSampleRate(sampleRate); }

  // The hold and the release are timed in frames of this rate.
  void setSampleRate(int hz);
  // Back to full gain at once (a new sound card starts from silence).
  void reset();
  // Off, the stage only saturates at full scale, as a plain sum would.
  void setEnabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }

  // frames interleaved stereo sums in, 16-bit frames out.
  void process(const int32_t* in, int16_t* out, int frames) noexcept;
  // The gain now, 1 when nothing is being held down.
  double gain() const { return gain_; }

  // How long the gain holds after a peak, and how fast it then recovers.
  static constexpr double kHoldSeconds = 0.04;
  static constexpr double kReleaseDbPerSecond = 15;

 private:
  double gain_ = 1;
  int holdLeft_ = 0;
  int holdFrames_ = 0;
  double releaseStep_ = 1;  // the gain's factor per frame while it recovers
  bool enabled_ = true;
};

}  // namespace kv
