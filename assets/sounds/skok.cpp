// "skok": the jump. A springy rising chirp over two octaves with a soft push of air underneath.
// 44100 Hz, 16 bits, 4410 samples (0.1 s).
#include <cmath>

#include "assets/sounds/synth.h"

using namespace kv::snd;

namespace {
constexpr double kRate = 44100;
constexpr size_t kSamples = 4410;
}  // namespace

int main(int argc, char** argv) {
  Signal s(kSamples);
  Noise noise(0x5C0Cu);
  Biquad air = Biquad::bandPass(900, 0.8, kRate);
  double phase = 0, springPhase = 0;
  for (size_t i = 0; i < kSamples; ++i) {
    const double t = i / kRate;
    // The chirp: a soft square (odd harmonics, steep roll-off) rising from 220 Hz to 880 Hz.
    const double hz = sweep(220, 880, t, 0.085);
    phase += 2 * kPi * hz / kRate;
    const double level = smoothStep(t / 0.004) * (0.55 + 0.45 * std::exp(-t / 0.03));
    const double chirp = 0.6 * level * harmonicTone(phase, hz, 6500, 1.6, true);
    // The spring: a short low bounce at the take-off.
    springPhase += 2 * kPi * sweep(140, 260, t, 0.04) / kRate;
    const double spring = 0.45 * std::sin(springPhase) * std::exp(-t / 0.025);
    const double puff = 0.25 * air.process(noise.next()) * std::exp(-t / 0.015);
    s[i] = chirp + spring + puff;
  }
  removeDc(s);
  normalisePeak(s, 0.7);
  applyFades(s, 66, 660);
  return writeRecording(argc, argv, 44100, 16, s, 8820);
}
