#include "platform/audio/music_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "platform/audio/audio_system.h"
#include "platform/audio/mixer.h"
#include "platform/audio/mp3_decoder.h"
#include "platform/headless/virtual_audio.h"
#include "platform/headless/virtual_clock.h"
#include "tests/test_files.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// The build makes these from cosine tones (tests/fixtures/make_tone.cpp): tone44k is one second of
// 441 Hz left and 882 Hz right at half scale, both starting at their peak; mono22k half a second of
// 441 Hz at 22050 Hz; tone48k half a second at 48000 Hz.
std::string fixture(const char* name) {
  return std::string(KV_TEST_FIXTURE_DIR) + "/" + name;
}

#define REQUIRE_FIXTURE(name)                                                     \
  if (!fs::exists(fixture(name))) GTEST_SKIP() << "no " << name << " (no lame?)"; \
  static_assert(true)

constexpr uint64_t kMs = 1'000'000;

struct LoopRun {
  int restarts = 0;
  int steepestHeard = 0;   // the steepest step from one heard frame to the next (left channel)
  int steepestInFile = 0;  // the same in the decoded file itself, its loop seam included
  int longestSilence = 0;  // frames
};

int steepest(const std::vector<int16_t>& s, size_t stride) {
  int worst = 0;
  for (size_t i = stride; i < s.size(); i += stride) worst = std::max(worst, std::abs(s[i] - s[i - stride]));
  return worst;
}

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kv_music_test_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    BASS_UseAudioSystem(&audio);
  }
  void TearDown() override {
    BASS_Free();
    BASS_UseAudioSystem(nullptr);
    fs::remove_all(dir_);
  }
  void init() { ASSERT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kTrue); }
  HSTREAM open(const std::string& path) { return BASS_StreamCreateFile(kFalse, path.c_str(), 0, 0, 0); }
  std::string write(const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  void advanceMs(uint64_t ms) { clock.advanceTo(clock.nowNs() + ms * kMs); }
  // Records the left channel of everything the card plays.
  void listen() {
    card.setTap([this](const int16_t* s, int frames) {
      for (int i = 0; i < frames; ++i) heard.push_back(s[2 * i]);
    });
  }
  // Starts the stream over once it has played to its end, as a looping player polling now and then
  // would. (The game's own check, 100 bytes before the end, is tested through its frame loop.)
  bool restartAtEnd(HSTREAM h, QWORD length) {
    if (BASS_ChannelGetPosition(h) < length) return false;
    BASS_ChannelStop(h);
    BASS_ChannelPlay(h, kTrue);
    return true;
  }

  // Plays tone44k, restarted at its end on 60 Hz ticks for 3.5 seconds, starting a little after a
  // tick so that its end falls between two ticks.
  LoopRun loopRun(bool smoothing) {
    LoopRun run;
    auto d = Mp3Decoder::open(fixture("tone44k.mp3"));
    std::vector<int16_t> file(2 * static_cast<size_t>(d->lengthFrames()) + 2);
    d->read(file.data(), static_cast<int>(d->lengthFrames()));
    file[file.size() - 2] = file[0];  // the seam: last frame, then the first again
    std::vector<int16_t> left;
    for (size_t i = 0; i < file.size(); i += 2) left.push_back(file[i]);
    run.steepestInFile = steepest(left, 1);

    init();
    audio.mixer().setDeclickFrames(smoothing ? 64 : 0);
    const HSTREAM h = open(fixture("tone44k.mp3"));
    const QWORD length = BASS_StreamGetLength(h);
    listen();
    advanceMs(5);
    BASS_ChannelPlay(h, kFalse);
    for (int tick = 1; tick <= 210; ++tick) {
      clock.advanceTo(uint64_t(tick) * 1'000'000'000 / 60);
      EXPECT_LE(BASS_ChannelGetPosition(h), length);
      run.restarts += restartAtEnd(h, length);
    }
    run.steepestHeard = steepest(heard, 1);
    int silence = 0;
    for (int16_t s : heard) {
      silence = s == 0 ? silence + 1 : 0;
      run.longestSilence = std::max(run.longestSilence, silence);
    }
    return run;
  }

  VirtualClock clock;
  VirtualAudio card{clock};
  AudioSystem audio{card};
  std::vector<int16_t> heard;
  fs::path dir_;
};

TEST(Mp3DecoderTest, DecodesExactlyTheEncodedFramesInTheirPlace) {
  REQUIRE_FIXTURE("tone44k.mp3");
  auto d = Mp3Decoder::open(fixture("tone44k.mp3"));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->sampleRate(), 44100);
  EXPECT_EQ(d->fileChannels(), 2);
  EXPECT_EQ(d->lengthFrames(), 44100);
  std::vector<int16_t> pcm;
  std::vector<int16_t> chunk(2 * 1000);
  for (int n; (n = d->read(chunk.data(), 1000)) > 0;)
    pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + 2 * n);
  ASSERT_EQ(pcm.size(), 2u * 44100);
  // The encoder's delay is gone: the tones sit where they were generated, within the codec's error
  // (which is larger at the very edges). One frame off would be an error of 2000 on the right.
  double worst = 0;
  for (int i = 50; i < 44050; ++i) {
    const double left = 16383.5 * std::cos(2 * std::numbers::pi * 441 * i / 44100.0);
    const double right = 16383.5 * std::cos(2 * std::numbers::pi * 882 * i / 44100.0);
    worst = std::max({worst, std::abs(pcm[2 * i] - left), std::abs(pcm[2 * i + 1] - right)});
  }
  EXPECT_LT(worst, 1000);
  // Rewinding gives the same frames again.
  ASSERT_TRUE(d->rewind());
  ASSERT_EQ(d->read(chunk.data(), 1000), 1000);
  EXPECT_TRUE(std::equal(chunk.begin(), chunk.end(), pcm.begin()));
}

TEST_F(MusicTest, LengthsAreDecodedStereoBytesAtTheFilesOwnRate) {
  REQUIRE_FIXTURE("tone44k.mp3");
  init();
  const HSTREAM a = open(fixture("tone44k.mp3"));
  const HSTREAM b = open(fixture("mono22k.mp3"));
  const HSTREAM c = open(fixture("tone48k.mp3"));
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  ASSERT_NE(c, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(BASS_StreamGetLength(a), 44100u * 4);
  EXPECT_EQ(BASS_StreamGetLength(b), 11025u * 4);  // mono counts as stereo
  EXPECT_EQ(BASS_StreamGetLength(c), 24000u * 4);
  EXPECT_EQ(BASS_ChannelGetPosition(a), 0u);
}

TEST_F(MusicTest, PositionsAdvanceWithVirtualTimeAtTheFilesRate) {
  REQUIRE_FIXTURE("tone44k.mp3");
  init();
  const HSTREAM a = open(fixture("tone44k.mp3"));
  const HSTREAM b = open(fixture("mono22k.mp3"));
  const HSTREAM c = open(fixture("tone48k.mp3"));
  advanceMs(50);  // created, not played: nothing moves
  EXPECT_EQ(BASS_ChannelGetPosition(a), 0u);
  for (HSTREAM h : {a, b, c}) ASSERT_EQ(BASS_ChannelPlay(h, kFalse), kTrue);
  advanceMs(200);
  EXPECT_EQ(BASS_ChannelGetPosition(a), 44100u * 4 / 5);
  EXPECT_EQ(BASS_ChannelGetPosition(b), 22050u * 4 / 5);
  EXPECT_NEAR(static_cast<double>(BASS_ChannelGetPosition(c)), 48000.0 * 4 / 5, 4);
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(a), 44100u * 4 * 3 / 10);
  EXPECT_EQ(BASS_ChannelGetPosition(b), 22050u * 4 * 3 / 10);
  advanceMs(400);  // the two short ones have ended and stay at their length
  EXPECT_EQ(BASS_ChannelGetPosition(b), BASS_StreamGetLength(b));
  EXPECT_EQ(BASS_ChannelGetPosition(c), BASS_StreamGetLength(c));
  EXPECT_EQ(BASS_ChannelGetPosition(a), 44100u * 4 * 7 / 10);
}

TEST_F(MusicTest, PlayResumesStopKeepsAndRestartStartsOver) {
  REQUIRE_FIXTURE("tone44k.mp3");
  init();
  const HSTREAM h = open(fixture("tone44k.mp3"));
  auto bytesIn = [](QWORD ms) { return ms * 44100 * 4 / 1000; };
  BASS_ChannelPlay(h, kFalse);
  advanceMs(100);
  BASS_ChannelPlay(h, kFalse);  // already playing: undisturbed
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(h), bytesIn(200));
  BASS_ChannelStop(h);
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(h), bytesIn(200));  // stopped where it was
  BASS_ChannelPlay(h, kFalse);
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(h), bytesIn(300));
  BASS_ChannelPlay(h, kTrue);  // from the beginning, also while playing
  EXPECT_EQ(BASS_ChannelGetPosition(h), 0u);
  advanceMs(50);
  EXPECT_EQ(BASS_ChannelGetPosition(h), bytesIn(50));

  // At the end it stays at the end, silent, until it is restarted.
  listen();
  advanceMs(1200);
  const QWORD length = BASS_StreamGetLength(h);
  EXPECT_EQ(BASS_ChannelGetPosition(h), length);
  heard.clear();
  BASS_ChannelPlay(h, kFalse);
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(h), length);
  EXPECT_TRUE(std::all_of(heard.begin(), heard.end(), [](int16_t s) { return s == 0; }));
  BASS_ChannelPlay(h, 2);  // any non-zero value restarts
  advanceMs(10);
  EXPECT_EQ(BASS_ChannelGetPosition(h), bytesIn(10));
  EXPECT_GT(*std::max_element(heard.begin(), heard.end()), 10000);
}

TEST_F(MusicTest, OutputStopPausesAndStartResumes) {
  REQUIRE_FIXTURE("tone44k.mp3");
  init();
  const HSTREAM h = open(fixture("tone44k.mp3"));
  BASS_ChannelPlay(h, kFalse);
  advanceMs(100);
  ASSERT_EQ(BASS_Stop(), kTrue);
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(h), 100u * 44100 * 4 / 1000);
  EXPECT_EQ(BASS_ChannelPlay(h, kFalse), kFalse);  // nothing plays while the output is stopped
  ASSERT_EQ(BASS_Start(), kTrue);
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(h), 200u * 44100 * 4 / 1000);
}

TEST_F(MusicTest, ARestartAtTheEndIsSeamless) {
  REQUIRE_FIXTURE("tone44k.mp3");
  const LoopRun run = loopRun(true);
  EXPECT_EQ(run.restarts, 3);
  // The tone's own steepest step is about 2060 on the right channel; the decoded file's edges add
  // some codec noise. A restart adds no more than the short fade into and out of the gap.
  EXPECT_GT(run.steepestInFile, 2000);
  EXPECT_LE(run.steepestHeard, run.steepestInFile + 300);
}

TEST_F(MusicTest, WithoutSmoothingTheSameLoopWouldClick) {
  // The counter-check of the test above: the gap until the next tick restarts the music is real, and
  // without the fades its edges are steps of nearly the full tone height.
  REQUIRE_FIXTURE("tone44k.mp3");
  const LoopRun run = loopRun(false);
  EXPECT_EQ(run.restarts, 3);
  EXPECT_GT(run.longestSilence, 400);
  EXPECT_GT(run.steepestHeard, run.steepestInFile + 5000);
}

TEST_F(MusicTest, BadFilesGiveNoStream) {
  REQUIRE_FIXTURE("tone44k.mp3");
  init();
  const auto good = readBytes(fixture("tone44k.mp3"));
  EXPECT_EQ(open((dir_ / "missing.mp3").string()), 0u);
  EXPECT_EQ(open(write("empty.mp3", {})), 0u);
  EXPECT_EQ(open(write("stub.mp3", std::vector<uint8_t>(good.begin(), good.begin() + 300))), 0u);
  const std::string text = "This is not music at all, only words in a file that says it is.\n";
  std::vector<uint8_t> words;
  for (int i = 0; i < 200; ++i) words.insert(words.end(), text.begin(), text.end());
  EXPECT_EQ(open(write("words.mp3", words)), 0u);
  EXPECT_EQ(open(dir_.string()), 0u);                                           // a directory
  EXPECT_EQ(BASS_StreamCreateFile(kTrue, good.data(), 0, good.size(), 0), 0u);  // from memory: not offered
  EXPECT_EQ(BASS_StreamCreateFile(kFalse, nullptr, 0, 0, 0), 0u);
  // An unknown handle fails every call without harm.
  EXPECT_EQ(BASS_StreamGetLength(0), kPositionError);
  EXPECT_EQ(BASS_ChannelGetPosition(0), kPositionError);
  EXPECT_EQ(BASS_ChannelPlay(0, kTrue), kFalse);
  EXPECT_EQ(BASS_ChannelStop(12345), kFalse);
  EXPECT_EQ(BASS_StreamFree(12345), kFalse);
}

TEST_F(MusicTest, DamagedFilesPlayWhatTheyCanAndEndQuietly) {
  REQUIRE_FIXTURE("tone44k.mp3");
  init();
  const auto good = readBytes(fixture("tone44k.mp3"));
  const HSTREAM half =
      open(write("half.mp3", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)));
  ASSERT_NE(half, 0u);
  const QWORD halfLength = BASS_StreamGetLength(half);
  EXPECT_GT(halfLength, 44100u * 4 / 3);
  EXPECT_LT(halfLength, 44100u * 4 * 2 / 3);
  auto scrambled = good;
  srand(7);
  for (size_t i = scrambled.size() / 3; i < scrambled.size() / 3 + 3000; ++i) scrambled[i] = uint8_t(rand());
  const HSTREAM broken = open(write("broken.mp3", scrambled));
  ASSERT_NE(broken, 0u);
  const QWORD brokenLength = BASS_StreamGetLength(broken);
  BASS_ChannelPlay(half, kFalse);
  BASS_ChannelPlay(broken, kFalse);
  advanceMs(1500);
  // Both run to their ends, where the game's loop check can find them.
  EXPECT_EQ(BASS_ChannelGetPosition(half), halfLength);
  EXPECT_EQ(BASS_ChannelGetPosition(broken), brokenLength);
  BASS_ChannelPlay(half, kTrue);
  advanceMs(100);
  EXPECT_EQ(BASS_ChannelGetPosition(half), 100u * 44100 * 4 / 1000);
}

TEST_F(MusicTest, FreeingTwiceOrAfterTheLibraryIsHarmless) {
  REQUIRE_FIXTURE("tone44k.mp3");
  init();
  EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kFalse);  // already started
  const HSTREAM a = open(fixture("tone44k.mp3"));
  const HSTREAM b = open(fixture("tone44k.mp3"));
  BASS_ChannelPlay(a, kFalse);
  BASS_ChannelPlay(b, kFalse);
  advanceMs(10);
  EXPECT_EQ(BASS_StreamFree(a), kTrue);
  EXPECT_EQ(BASS_StreamFree(a), kFalse);
  EXPECT_EQ(BASS_ChannelGetPosition(a), kPositionError);
  EXPECT_NE(BASS_ChannelGetPosition(b), kPositionError);
  // The game's Exit: stop, free, then the window closes and frees the stream again.
  EXPECT_EQ(BASS_Stop(), kTrue);
  EXPECT_EQ(BASS_Free(), kTrue);
  EXPECT_FALSE(audio.isOpen());
  EXPECT_EQ(BASS_StreamFree(b), kFalse);
  EXPECT_EQ(BASS_ChannelPlay(b, kTrue), kFalse);
  EXPECT_EQ(BASS_ChannelGetPosition(b), kPositionError);
  EXPECT_EQ(BASS_Free(), kFalse);
  advanceMs(10);
  // Started again, old handles stay dead and new ones work.
  init();
  const HSTREAM c = open(fixture("tone44k.mp3"));
  EXPECT_NE(c, 0u);
  EXPECT_NE(c, b);
  EXPECT_EQ(BASS_StreamGetLength(b), kPositionError);
}

TEST_F(MusicTest, NothingWorksBeforeInit) {
  REQUIRE_FIXTURE("tone44k.mp3");
  EXPECT_EQ(open(fixture("tone44k.mp3")), 0u);
  EXPECT_EQ(BASS_Start(), kFalse);
  EXPECT_EQ(BASS_Stop(), kFalse);
  EXPECT_EQ(BASS_Free(), kFalse);
  EXPECT_EQ(BASS_Init(7, 44100, 0, nullptr, nullptr), kFalse);  // no such device
  BASS_UseAudioSystem(nullptr);
  EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kFalse);  // nothing to play through
  EXPECT_EQ(open(fixture("tone44k.mp3")), 0u);
}

TEST_F(MusicTest, WithoutASoundCardStreamsKeepTheirLengthAndStandStill) {
  REQUIRE_FIXTURE("tone44k.mp3");
  card.setOpenFails(true);
  EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kFalse);
  EXPECT_EQ(BASS_Start(), kTrue);
  const HSTREAM h = open(fixture("tone44k.mp3"));
  ASSERT_NE(h, 0u);
  EXPECT_EQ(BASS_StreamGetLength(h), 44100u * 4);
  EXPECT_EQ(BASS_ChannelPlay(h, kFalse), kTrue);
  advanceMs(2000);
  EXPECT_EQ(BASS_ChannelGetPosition(h), 0u);  // nothing is heard, so nothing is played
  EXPECT_EQ(BASS_Free(), kTrue);
  EXPECT_EQ(BASS_StreamFree(h), kFalse);
}

TEST(MusicLibraryTest, AnAudioSystemThatGoesAwayTakesTheLibraryWithIt) {
  REQUIRE_FIXTURE("tone44k.mp3");
  VirtualClock clock;
  VirtualAudio card(clock);
  HSTREAM h = 0;
  {
    AudioSystem audio(card);
    BASS_UseAudioSystem(&audio);
    ASSERT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kTrue);
    h = BASS_StreamCreateFile(kFalse, fixture("tone44k.mp3").c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    BASS_ChannelPlay(h, kFalse);
  }
  EXPECT_FALSE(card.isOpen());
  EXPECT_EQ(BASS_ChannelGetPosition(h), kPositionError);
  EXPECT_EQ(BASS_StreamFree(h), kFalse);
  EXPECT_EQ(BASS_Stop(), kFalse);
  EXPECT_EQ(BASS_Free(), kFalse);
  EXPECT_EQ(BASS_Init(1, 44100, 0, nullptr, nullptr), kFalse);
}

}  // namespace
}  // namespace kv
