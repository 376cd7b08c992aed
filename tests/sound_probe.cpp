// Listens to a recording of the game's sound for the tests: 16-bit stereo at 44100 Hz, as a WAV file
// or raw (what parec writes). Times are seconds from the recording's start.
//
//   kv_sound_probe stats REC [FROM TO]
//       peak=N fullscale=N runs3=N rms_db=X side_db=X  (side: the left minus the right channel)
//   kv_sound_probe match REC FROM TO PATTERN.wav RATE [SECONDS]
//       How strongly a mono recording (its first SECONDS, all of it by default), played at RATE
//       samples per second, is heard somewhere in FROM..TO of the channels' sum: ncc=X at=T, the
//       best normalised cross-correlation (1 = that sound alone) and where it starts.
//   kv_sound_probe music REC FROM TO MUSIC.mp3 EXPECT SPAN
//       Where in the music FROM..TO of the recording is: the side channel (the sound effects are the
//       same in both channels, so only the music is left there) matched against the music's own
//       between EXPECT-SPAN and EXPECT+SPAN seconds: ncc=X pos=P.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "platform/audio/mp3_decoder.h"

namespace {

constexpr int kRate = 44100;

struct Stereo {
  std::vector<double> left, right;
  size_t frames() const { return left.size(); }
};

std::vector<uint8_t> readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The PCM bytes of a WAV file (its data chunk), or the whole file when it is raw.
std::vector<uint8_t> pcmBytes(std::vector<uint8_t> bytes, int& channels, int& rate) {
  channels = 2;
  rate = kRate;
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return bytes;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const uint32_t size = le32(&bytes[at + 4]);
    if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && at + 16 <= bytes.size()) {
      channels = bytes[at + 10] | bytes[at + 11] << 8;
      rate = static_cast<int>(le32(&bytes[at + 12]));
    }
    if (std::memcmp(&bytes[at], "data", 4) == 0) {
      // A recording cut short (the recorder killed) may claim more than it holds.
      const size_t end = std::min(bytes.size(), at + 8 + static_cast<size_t>(size));
      return {bytes.begin() + static_cast<long>(at) + 8, bytes.begin() + static_cast<long>(end)};
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

std::vector<int16_t> samples16(const char* path, int& channels, int& rate) {
  const std::vector<uint8_t> pcm = pcmBytes(readFile(path), channels, rate);
  std::vector<int16_t> s(pcm.size() / 2);
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8);
  return s;
}

Stereo readRecording(const char* path) {
  int channels = 0, rate = 0;
  const std::vector<int16_t> s = samples16(path, channels, rate);
  Stereo r;
  if (channels != 2 || rate != kRate) {
    std::fprintf(stderr, "%s: expected 16-bit stereo at %d Hz\n", path, kRate);
    std::exit(2);
  }
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    r.left.push_back(s[i]);
    r.right.push_back(s[i + 1]);
  }
  return r;
}

// Frames FROM..TO seconds of the recording, cut to what it holds.
void span(const Stereo& r, double from, double to, size_t& first, size_t& last) {
  first = std::min(r.frames(), static_cast<size_t>(std::max(0.0, from) * kRate));
  last = std::clamp(static_cast<size_t>(std::max(0.0, to) * kRate), first, r.frames());
}

double decibels(double sumSquares, size_t n) {
  if (n == 0 || sumSquares <= 0) return -200;
  return 10 * std::log10(sumSquares / static_cast<double>(n) / (32768.0 * 32768.0));
}

int stats(const Stereo& r, double from, double to) {
  size_t first = 0, last = 0;
  span(r, from, to, first, last);
  double peak = 0, sum = 0, side = 0;
  long fullScale = 0, runs = 0, run = 0;
  for (size_t i = first; i < last; ++i) {
    for (const double v : {r.left[i], r.right[i]}) {
      peak = std::max(peak, std::abs(v));
      sum += v * v;
      const bool full = v >= 32767 || v <= -32768;
      fullScale += full;
      run = full ? run + 1 : 0;
      runs += run == 3;
    }
    const double d = (r.left[i] - r.right[i]) / 2;
    side += d * d;
  }
  std::printf("peak=%.0f fullscale=%ld runs3=%ld rms_db=%.2f side_db=%.2f\n", peak, fullScale, runs,
              decibels(sum, 2 * (last - first)), decibels(side, last - first));
  return 0;
}

using Complex = std::complex<double>;

void fft(std::vector<Complex>& a, bool inverse) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = 2 * std::numbers::pi / static_cast<double>(len) * (inverse ? 1 : -1);
    const Complex step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      Complex w(1);
      for (size_t k = 0; k < len / 2; ++k, w *= step) {
        const Complex u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
  if (inverse)
    for (Complex& c : a) c /= static_cast<double>(n);
}

struct Match {
  double ncc = 0;
  size_t at = 0;
};

// The best normalised cross-correlation of `pattern` with every stretch of `signal` as long as it.
Match bestMatch(const std::vector<double>& signal, const std::vector<double>& pattern) {
  Match best;
  const size_t n = signal.size(), m = pattern.size();
  if (m == 0 || n < m) return best;
  size_t size = 1;
  while (size < n + m) size <<= 1;
  std::vector<Complex> a(size), b(size);
  std::copy(signal.begin(), signal.end(), a.begin());
  std::copy(pattern.begin(), pattern.end(), b.begin());
  fft(a, false);
  fft(b, false);
  for (size_t i = 0; i < size; ++i) a[i] *= std::conj(b[i]);
  fft(a, true);
  double patternEnergy = 0;
  for (const double v : pattern) patternEnergy += v * v;
  std::vector<double> prefix(n + 1, 0.0);
  for (size_t i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + signal[i] * signal[i];
  for (size_t lag = 0; lag + m <= n; ++lag) {
    const double energy = prefix[lag + m] - prefix[lag];
    // Near-silence matches nothing (and would divide by almost nothing).
    if (energy < 1e-3 * patternEnergy) continue;
    const double ncc = a[lag].real() / std::sqrt(energy * patternEnergy);
    if (ncc > best.ncc) best = {ncc, lag};
  }
  return best;
}

// A mono recording as the mixer plays it at `rate` onto the 44100 Hz output: linear interpolation.
std::vector<double> resampled(const char* path, int rate, double seconds) {
  int channels = 0, ownRate = 0;
  const std::vector<int16_t> s = samples16(path, channels, ownRate);
  if (channels != 1 || s.empty()) {
    std::fprintf(stderr, "%s: expected a mono recording\n", path);
    std::exit(2);
  }
  std::vector<double> out;
  const double step = static_cast<double>(rate) / kRate;
  const double limit = seconds > 0 ? std::min<double>(s.size() - 1, seconds * rate) : s.size() - 1;
  for (double pos = 0; pos < limit; pos += step) {
    const auto i = static_cast<size_t>(pos);
    const double frac = pos - static_cast<double>(i);
    out.push_back(s[i] + (s[i + 1] - s[i]) * frac);
  }
  return out;
}

int match(const Stereo& r, double from, double to, const char* pattern, int rate, double seconds) {
  size_t first = 0, last = 0;
  span(r, from, to, first, last);
  std::vector<double> mid;
  for (size_t i = first; i < last; ++i) mid.push_back(r.left[i] + r.right[i]);
  const Match m = bestMatch(mid, resampled(pattern, rate, seconds));
  std::printf("ncc=%.3f at=%.3f\n", m.ncc, static_cast<double>(first + m.at) / kRate);
  return 0;
}

int music(const Stereo& r, double from, double to, const char* mp3, double expect, double spread) {
  auto decoder = kv::Mp3Decoder::open(mp3);
  if (!decoder || decoder->sampleRate() != kRate) {
    std::fprintf(stderr, "%s: cannot read it as 44100 Hz music\n", mp3);
    return 2;
  }
  size_t first = 0, last = 0;
  span(r, from, to, first, last);
  std::vector<double> heard;
  for (size_t i = first; i < last; ++i) heard.push_back(r.left[i] - r.right[i]);
  const auto begin = static_cast<int64_t>(std::max(0.0, expect - spread) * kRate);
  const auto end =
      std::min<int64_t>(decoder->lengthFrames(),
                        static_cast<int64_t>((expect + spread) * kRate) + static_cast<int64_t>(heard.size()));
  std::vector<int16_t> tune(2 * static_cast<size_t>(std::max<int64_t>(end, 0)));
  const int got = decoder->read(tune.data(), static_cast<int>(end));
  std::vector<double> side;
  for (int64_t i = begin; i < got; ++i) side.push_back(tune[2 * i] - tune[2 * i + 1]);
  const Match m = bestMatch(side, heard);
  std::printf("ncc=%.3f pos=%.3f length=%.3f\n", m.ncc,
              static_cast<double>(begin + static_cast<int64_t>(m.at)) / kRate,
              static_cast<double>(decoder->lengthFrames()) / kRate);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 2 ? argv[1] : "";
  if (what == "stats" && (argc == 3 || argc == 5)) {
    return stats(readRecording(argv[2]), argc == 5 ? std::atof(argv[3]) : 0,
                 argc == 5 ? std::atof(argv[4]) : 1e9);
  }
  if (what == "match" && (argc == 7 || argc == 8)) {
    return match(readRecording(argv[2]), std::atof(argv[3]), std::atof(argv[4]), argv[5], std::atoi(argv[6]),
                 argc == 8 ? std::atof(argv[7]) : 0);
  }
  if (what == "music" && argc == 8) {
    return music(readRecording(argv[2]), std::atof(argv[3]), std::atof(argv[4]), argv[5], std::atof(argv[6]),
                 std::atof(argv[7]));
  }
  std::fprintf(stderr,
               "usage: kv_sound_probe stats REC [FROM TO] | match REC FROM TO PATTERN.wav RATE [SECONDS] |"
               " music REC FROM TO MUSIC.mp3 EXPECT SPAN\n");
  return 2;
}
