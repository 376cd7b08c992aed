#pragma once
// Building blocks the sound-effect generators share: seeded noise, simple filters, envelopes,
// band-limited tones and the conversion of a mono signal (-1..1) to the stored PCM recording.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv::snd {

constexpr double kPi = 3.14159265358979323846;

using Signal = std::vector<double>;

// White noise in -1..1 from a 32-bit xorshift generator; the same seed gives the same noise.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  double next();
  // Uniform in 0..1.
  double unit() { return 0.5 * (next() + 1.0); }

 private:
  uint32_t state_;
};

// Second-order filter (the usual audio biquad recipes), direct form I.
class Biquad {
 public:
  static Biquad lowPass(double cutoffHz, double q, double rate);
  static Biquad highPass(double cutoffHz, double q, double rate);
  static Biquad bandPass(double centreHz, double q, double rate);
  double process(double x);
  // Keeps the state, changes the response (for sweeps).
  void retune(const Biquad& other);

 private:
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// 0 at x <= 0, 1 at x >= 1, a raised-cosine step in between (no corner at either end).
double smoothStep(double x);

// An exponential sweep from `from` to `to` over `length` (the position t and length in the same unit).
double sweep(double from, double to, double t, double length);

// Raised-cosine fades: the first `in` samples rise from 0, the last `out` samples fall to exactly 0.
void applyFades(Signal& s, size_t in, size_t out);
// Subtracts the mean.
void removeDc(Signal& s);
// Scales so that the largest magnitude is `peak`.
void normalisePeak(Signal& s, double peak);

// One sample of a band-limited tone of fundamental `hz` at `phase` (radians): harmonics k weighted
// 1/k^tilt, odd ones only when `oddOnly` (a soft square). Harmonics fade out smoothly as they near
// `cutoffHz`, so a sweeping tone gains and loses them without clicks and never aliases.
double harmonicTone(double phase, double hz, double cutoffHz, double tilt, bool oddOnly);

// Unsigned 8-bit (128 = silence) and signed 16-bit little-endian samples, rounded halves to even.
std::vector<uint8_t> toPcm8(const Signal& s);
std::vector<uint8_t> toPcm16(const Signal& s);

// The generators' common main: writes `s` as a mono RIFF WAVE to argv[1]. Checks the data size the
// catalogue requires; prints the problem and returns non-zero when it differs or the file fails.
int writeRecording(int argc, char** argv, uint32_t rate, uint16_t bits, const Signal& s,
                   size_t requiredDataBytes);

}  // namespace kv::snd
