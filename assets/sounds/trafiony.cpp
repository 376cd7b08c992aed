// "Trafiony": a shot shatters a rock. A short boom with a crunch of stone: noise whose brightness
// falls quickly, a low thump, and grains of gravel crackling as the pieces scatter.
// 44100 Hz, 16 bits, 7645 samples (0.173 s).
#include <cmath>

#include "assets/sounds/synth.h"

using namespace kv::snd;

namespace {
constexpr double kRate = 44100;
constexpr size_t kSamples = 7645;

// A grain of gravel: a half-millisecond rise, a few milliseconds of decay.
double grainShape(double age) {
  return smoothStep(age / 0.0005) * std::exp(-age / 0.0025);
}
}  // namespace

int main(int argc, char** argv) {
  Signal s(kSamples);
  Noise noise(0x7AF10Eu);
  Noise gravel(0x6A7E1u);
  Biquad body = Biquad::lowPass(5000, 0.9, kRate);
  Biquad grain = Biquad::bandPass(3200, 2.0, kRate);
  double thumpPhase = 0;
  double nextGrain = 0.012, grainStart = -1, grainAmp = 0;
  for (size_t i = 0; i < kSamples; ++i) {
    const double t = i / kRate;
    // The blast darkens from 5 kHz to 500 Hz within the first 90 ms.
    if (i % 32 == 0) body.retune(Biquad::lowPass(sweep(5000, 500, t, 0.09), 0.9, kRate));
    const double blast = body.process(noise.next()) * std::exp(-t / 0.045);
    thumpPhase += 2 * kPi * sweep(120, 45, t, 0.1) / kRate;
    const double thump = std::sin(thumpPhase) * std::exp(-t / 0.06);
    if (t >= nextGrain) {
      grainStart = t;
      grainAmp = (0.4 + 0.6 * gravel.unit()) * std::exp(-t / 0.07);
      nextGrain = t + 0.004 + 0.014 * gravel.unit();
    }
    double crackle = 0;
    if (grainStart >= 0) crackle = grainAmp * grain.process(gravel.next()) * grainShape(t - grainStart);
    s[i] = 1.8 * blast + 0.7 * thump + 1.5 * crackle;
  }
  removeDc(s);
  normalisePeak(s, 0.8);
  applyFades(s, 44, 1300);
  return writeRecording(argc, argv, 44100, 16, s, 15290);
}
