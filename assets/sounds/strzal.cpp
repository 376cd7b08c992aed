// "strzal": a shot fired. A bright laser zap that drops from 1.7 kHz to 260 Hz, two slightly
// detuned voices for body. 22050 Hz, 16 bits, 3445 samples (0.156 s).
#include <cmath>

#include "assets/sounds/synth.h"

using namespace kv::snd;

namespace {
constexpr double kRate = 22050;
constexpr size_t kSamples = 3445;
// Harmonics up to 5 kHz, so the zap stays bright without fizz.
constexpr double kCutoff = 5000;
}  // namespace

int main(int argc, char** argv) {
  Signal s(kSamples);
  double a = 0, b = 0;
  for (size_t i = 0; i < kSamples; ++i) {
    const double t = i / kRate;
    const double hz = sweep(1700, 260, t, 0.13);
    a += 2 * kPi * hz / kRate;
    b += 2 * kPi * hz * 1.013 / kRate;
    const double level = smoothStep(t / 0.003) * std::exp(-t / 0.06);
    s[i] = level *
           (harmonicTone(a, hz, kCutoff, 1.2, false) + 0.6 * harmonicTone(b, hz * 1.013, kCutoff, 1.5, true));
  }
  removeDc(s);
  normalisePeak(s, 0.7);
  applyFades(s, 33, 500);
  return writeRecording(argc, argv, 22050, 16, s, 6890);
}
