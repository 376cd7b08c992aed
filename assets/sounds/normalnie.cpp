// "normalnie": the engine, looped for as long as a level runs and played at 35000, 45000 or 55000
// samples per second as the vehicle slows or speeds up. A low, steady, slightly rough motor: 80
// firings per loop (62.5 Hz at the recorded rate) from four cylinders of slightly different
// strength, each firing a soft knock of a few low resonances and a puff of dark noise.
//
// The loop is seamless by construction: every firing is placed on a circle of exactly 56399
// samples and its tail wraps around to the start, so the last sample leads into the first as
// smoothly as any sample leads into the next. 44100 Hz, 16 bits, 56399 samples (112798 bytes).
#include <cmath>

#include "assets/sounds/synth.h"

using namespace kv::snd;

namespace {

constexpr double kRate = 44100;
constexpr size_t kSamples = 56399;
constexpr int kFirings = 80;           // a multiple of the four cylinders
constexpr size_t kPulseLength = 3087;  // 70 ms, long enough for every resonance to die away

struct Resonance {
  double hz, amp, decay;
};
// Kept low so that even at 55000 samples per second nothing bright or buzzy comes through.
constexpr Resonance kResonances[] = {
    {96, 1.00, 0.016}, {188, 0.60, 0.009}, {430, 0.35, 0.005}, {660, 0.18, 0.004}, {905, 0.08, 0.003},
};

// One firing, `t` seconds after it starts, with the puff of noise precomputed in `puff`.
double knock(double t, const Signal& puff, size_t k) {
  const double attack = smoothStep(t / 0.0025);
  double v = 0;
  for (const Resonance& r : kResonances) v += r.amp * std::sin(2 * kPi * r.hz * t) * std::exp(-t / r.decay);
  return attack * (v + puff[k]);
}

}  // namespace

int main(int argc, char** argv) {
  Signal s(kSamples, 0.0);
  Noise jitter(0xE9617Eu);
  const double cylinder[4] = {1.0, 0.84, 0.95, 0.78};
  const double period = static_cast<double>(kSamples) / kFirings;
  for (int j = 0; j < kFirings; ++j) {
    // Each firing is a little early or late and a little stronger or weaker than the book says.
    const double start = j * period + 0.02 * period * jitter.next();
    const double strength = cylinder[j % 4] * (1 + 0.06 * jitter.next());
    Noise puffNoise(0xC0FFEEu + 7919u * static_cast<uint32_t>(j));
    Biquad dark = Biquad::lowPass(1400, 0.7, kRate);
    Signal puff(kPulseLength);
    for (size_t k = 0; k < kPulseLength; ++k) {
      puff[k] = 0.5 * dark.process(puffNoise.next()) * std::exp(-(k / kRate) / 0.006);
    }
    const auto first = static_cast<size_t>(std::ceil(start));
    for (size_t k = 0; k < kPulseLength; ++k) {
      const size_t n = first + k;
      s[n % kSamples] += strength * knock((n - start) / kRate, puff, k);
    }
  }
  // A constant offset does not disturb the loop, so the mean can go.
  removeDc(s);
  normalisePeak(s, 0.45);
  return writeRecording(argc, argv, 44100, 16, s, 112798);
}
