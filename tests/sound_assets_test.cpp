// The recordings and the music as the build makes them: formats and sizes the game depends on,
// and the qualities a player hears (no clicks at the edges, a seamless engine loop, a music file
// that decodes to exactly the loop that was rendered and joins its end to its start).
#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "assets/music/song_form.h"
#include "platform/audio/wave_reader.h"
#include "tests/test_files.h"

namespace kv {
namespace {

// A stored recording as these checks look at it: the project's reader, with the samples scaled to
// -1..1 (8-bit unsigned around 128, 16-bit signed).
struct Recording {
  bool valid = false;
  uint16_t formatTag = 0, channels = 0, blockAlign = 0, bits = 0;
  uint32_t rate = 0, byteRate = 0, dataBytes = 0;
  std::vector<double> samples;
};

Recording parseWave(const std::vector<uint8_t>& b) {
  Recording r;
  const std::optional<WaveData> wave = readRiffWave(b.data(), b.size());
  if (!wave) return r;
  const WaveFormat& f = wave->format;
  r.valid = true;
  r.formatTag = f.formatTag;
  r.channels = f.channels;
  r.blockAlign = f.blockAlign;
  r.bits = f.bitsPerSample;
  r.rate = f.samplesPerSec;
  r.byteRate = f.avgBytesPerSec;
  r.dataBytes = static_cast<uint32_t>(wave->data.size());
  const std::vector<uint8_t>& d = wave->data;
  if (r.bits == 8) {
    for (uint8_t v : d) r.samples.push_back((v - 128) / 128.0);
  } else {
    for (size_t k = 0; k + 1 < d.size(); k += 2)
      r.samples.push_back(static_cast<int16_t>(d[k] | d[k + 1] << 8) / 32768.0);
  }
  return r;
}

std::string soundPath(const std::string& name) {
  return std::string(KV_SOUND_BUILD_DIR) + "/" + name + ".wav";
}

double peakOf(const std::vector<double>& s, size_t from, size_t to) {
  double m = 0;
  for (size_t i = from; i < to; ++i) m = std::max(m, std::abs(s[i]));
  return m;
}

struct Binding {
  const char* name;
  uint32_t rate;
  uint16_t bits;
  uint32_t dataBytes;
  double seconds;
};
// The wave list in catalogue order.
constexpr Binding kBindings[] = {
    {"dziura", 11025, 8, 14336, 1.300},      {"skok", 44100, 16, 8820, 0.100},
    {"normalnie", 44100, 16, 112798, 1.279}, {"kamien", 11025, 8, 14336, 1.300},
    {"Trafiony", 44100, 16, 15290, 0.173},   {"strzal", 22050, 16, 6890, 0.156},
};

TEST(SoundAssetsTest, EveryRecordingHasTheCataloguedFormatAndSize) {
  for (const Binding& want : kBindings) {
    SCOPED_TRACE(want.name);
    const Recording r = parseWave(readBytes(soundPath(want.name)));
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.formatTag, 1);
    EXPECT_EQ(r.channels, 1);
    EXPECT_EQ(r.rate, want.rate);
    EXPECT_EQ(r.bits, want.bits);
    EXPECT_EQ(r.blockAlign, want.bits / 8);
    EXPECT_EQ(r.byteRate, want.rate * want.bits / 8);
    EXPECT_EQ(r.dataBytes, want.dataBytes);
    EXPECT_NEAR(static_cast<double>(r.samples.size()) / r.rate, want.seconds, 0.0005);
  }
}

TEST(SoundAssetsTest, TheTwoCrashRecordingsAreTheSameBytes) {
  const std::vector<uint8_t> hole = readBytes(soundPath("dziura"));
  ASSERT_FALSE(hole.empty());
  EXPECT_EQ(hole, readBytes(soundPath("kamien")));
}

TEST(SoundAssetsTest, OneShotsAreAudibleAndStartAndEndInSilence) {
  for (const char* name : {"dziura", "skok", "Trafiony", "strzal"}) {
    SCOPED_TRACE(name);
    const Recording r = parseWave(readBytes(soundPath(name)));
    ASSERT_TRUE(r.valid);
    const std::vector<double>& s = r.samples;
    const size_t ms = r.rate / 1000;
    // One quantisation step of 8-bit sound is 1/128.
    const double quiet = r.bits == 8 ? 1.5 / 128 : 0.005;
    EXPECT_GT(peakOf(s, 0, s.size()), 0.5);
    EXPECT_LE(std::abs(s.front()), quiet);
    EXPECT_LE(std::abs(s.back()), quiet);
    // No sudden onset: the first half millisecond is still soft, and the sound has died away
    // over its last two milliseconds.
    EXPECT_LT(peakOf(s, 0, ms / 2), 0.15);
    EXPECT_LT(peakOf(s, s.size() - 2 * ms, s.size()), 0.02);
  }
}

TEST(SoundAssetsTest, EngineLoopJoinsItsEndToItsStart) {
  const Recording r = parseWave(readBytes(soundPath("normalnie")));
  ASSERT_TRUE(r.valid);
  const std::vector<double>& s = r.samples;
  const size_t n = s.size();
  ASSERT_EQ(n, 56399u);
  const double peak = peakOf(s, 0, n);
  EXPECT_GT(peak, 0.2);
  double largestStep = 0, largestBend = 0, mean = 0;
  for (size_t i = 0; i + 1 < n; ++i) largestStep = std::max(largestStep, std::abs(s[i + 1] - s[i]));
  for (size_t i = 1; i + 1 < n; ++i)
    largestBend = std::max(largestBend, std::abs(s[i + 1] - 2 * s[i] + s[i - 1]));
  for (double v : s) mean += v;
  mean /= static_cast<double>(n);
  // Played in a loop, sample n-1 is followed by sample 0: that step and the change of slope there
  // must look like any other place in the recording, and small against its amplitude.
  const double joinStep = std::abs(s[0] - s[n - 1]);
  const double joinBend = std::abs(s[1] - 2 * s[0] + s[n - 1]);
  const double joinBendBefore = std::abs(s[0] - 2 * s[n - 1] + s[n - 2]);
  EXPECT_LE(joinStep, largestStep);
  EXPECT_LT(joinStep, 0.05 * peak);
  EXPECT_LE(joinBend, largestBend);
  EXPECT_LE(joinBendBefore, largestBend);
  EXPECT_LT(std::abs(mean), 0.002);
}

TEST(SoundAssetsTest, EngineHumStaysLowAndDark) {
  // Played up to 55000 samples per second the hum must not turn buzzy: the energy of the
  // sample-to-sample differences (which weights each frequency by about 2 sin(pi f / rate)) stays
  // that of a sound whose weight lies well below 1 kHz.
  const Recording r = parseWave(readBytes(soundPath("normalnie")));
  ASSERT_TRUE(r.valid);
  const std::vector<double>& s = r.samples;
  double energy = 0, diffEnergy = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    energy += s[i] * s[i];
    const double d = s[(i + 1) % s.size()] - s[i];
    diffEnergy += d * d;
  }
  const double ratio = std::sqrt(diffEnergy / energy);
  EXPECT_LT(ratio, 2 * std::sin(M_PI * 1000.0 / 44100));
}

struct Decoded {
  bool ok = false;
  long rate = 0;
  int channels = 0;
  int64_t frames = 0;
  int16_t first[2] = {0, 0};
  int16_t last[2] = {0, 0};
};

Decoded decodeMp3(const std::string& path) {
  Decoded d;
  mpg123_init();
  int err = MPG123_OK;
  mpg123_handle* mh = mpg123_new(nullptr, &err);
  if (!mh) return d;
  mpg123_format_none(mh);
  mpg123_format(mh, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open(mh, path.c_str()) == MPG123_OK) {
    int encoding = 0;
    if (mpg123_getformat(mh, &d.rate, &d.channels, &encoding) == MPG123_OK &&
        encoding == MPG123_ENC_SIGNED_16 && d.channels == 2) {
      std::vector<unsigned char> buf(65536);
      size_t got = 0;
      int rc;
      do {
        rc = mpg123_read(mh, buf.data(), buf.size(), &got);
        const size_t frames = got / 4;
        const auto* s = reinterpret_cast<const int16_t*>(buf.data());
        if (frames > 0) {
          if (d.frames == 0) std::copy(s, s + 2, d.first);
          std::copy(s + 2 * (frames - 1), s + 2 * frames, d.last);
        }
        d.frames += static_cast<int64_t>(frames);
      } while (rc == MPG123_OK || rc == MPG123_NEW_FORMAT);
      d.ok = rc == MPG123_DONE;
    }
    mpg123_close(mh);
  }
  mpg123_delete(mh);
  return d;
}

void expectTheRenderedLoop(const std::string& path) {
  SCOPED_TRACE(path);
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_LT(std::filesystem::file_size(path), 2'500'000u);
  const Decoded d = decodeMp3(path);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rate, music::kSampleRate);
  EXPECT_EQ(d.channels, 2);
  // Exactly the rendered frames: the encoder's info tag tells the decoder what to trim.
  EXPECT_EQ(d.frames, music::kSongFrames);
  EXPECT_GE(d.frames, 60 * 44100);
  // The loop starts again from its beginning: the last and first samples must meet.
  for (int c = 0; c < 2; ++c) {
    EXPECT_LT(std::abs(d.last[c] - d.first[c]), 330) << "channel " << c;
  }
}

TEST(SoundAssetsTest, TheBuiltMusicDecodesToTheWholeLoop) {
  expectTheRenderedLoop(std::string(KV_TEST_DATA_DIR) + "/Velunora002c.mp3");
}

TEST(SoundAssetsTest, TheCommittedMusicMatchesTheRenderedLoop) {
  // Builds without an encoder copy this file, so it must be the current loop.
  expectTheRenderedLoop(std::string(KV_SOURCE_DIR) + "/data/Velunora002c.mp3");
}

}  // namespace
}  // namespace kv
