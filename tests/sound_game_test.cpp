// The sound effects inside the whole game: the engine's hum over a level, the hole sound's length
// in virtual time, a sound card that goes away in the middle of a level, and the mix at its busiest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/audio/mixer.h"
#include "platform/audio/music_stream.h"
#include "platform/audio/output_limiter.h"
#include "state/game_state.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::GameFixture;

TEST(SoundGameTest, TheLevelHumsItsEngineAtTheSpeedsPitchUntilItEnds) {
  GameFixture g(75);  // the level's starting speed 6 is the normal speed at 75 Hz
  TWaveCollectionItem& engine = g.form->DXWaveList1.Items()[2];
  const Mixer& mixer = g.audio->mixer();
  ASSERT_TRUE(g.form->DXSound1.Initialized());
  EXPECT_FALSE(engine.IsWavePlaying());
  g.startLevel(1);
  EXPECT_TRUE(engine.IsWavePlaying());
  // The pitch is heard: a tenth of a second of virtual time plays a tenth of the rate's frames.
  VirtualClock& clock = g.hb().clock;
  auto framesPlayedInATenth = [&] {
    const int64_t from = mixer.position(engine.mainVoice());
    clock.advanceTo(clock.nowNs() + 100'000'000);
    return mixer.position(engine.mainVoice()) - from;
  };
  g.ticks(20);
  EXPECT_EQ(mixer.rate(engine.mainVoice()), 45000);
  EXPECT_NEAR(framesPlayedInATenth(), 4500, 2);
  const int64_t before = mixer.position(engine.mainVoice());
  EXPECT_GT(before, 0);
  game.speed = game.fastSpeed;
  g.ticks(1);
  EXPECT_EQ(mixer.rate(engine.mainVoice()), 55000);
  EXPECT_GE(mixer.position(engine.mainVoice()), before);  // the same hum, only higher
  EXPECT_NEAR(framesPlayedInATenth(), 5500, 2);
  g.click(kStopButton);  // Stop
  EXPECT_FALSE(game.levelRunning);
  EXPECT_FALSE(engine.IsWavePlaying());
  g.startLevel(2);
  EXPECT_TRUE(engine.IsWavePlaying());
  EXPECT_EQ(engine.playWaveCalls(), 2u);
  EXPECT_TRUE(engine.copies().empty());  // a looped sound never plays twice at once
}

TEST(SoundGameTest, TheHoleSoundPlaysForExactlyItsLengthOfVirtualTime) {
  GameFixture g;
  TWaveCollectionItem& hole = g.form->DXWaveList1.Items()[0];
  VirtualClock& clock = g.hb().clock;
  clock.advanceTo(12'345'678);  // between two frames of the card
  const uint64_t start = clock.nowNs();
  hole.PlayWave(false);
  // It sounds from the card's next frame for 14336 samples at 11025 Hz, 57344 frames at 44100 Hz.
  const uint64_t doneAfter = start * 44100 / 1'000'000'000 + 57344;
  const uint64_t endNs = (doneAfter * 1'000'000'000 + 44099) / 44100;
  clock.advanceTo(start + 1'300'000'000);
  EXPECT_TRUE(hole.IsWavePlaying());
  clock.advanceTo(endNs - 1);
  EXPECT_TRUE(hole.IsWavePlaying());
  clock.advanceTo(endNs);
  EXPECT_FALSE(hole.IsWavePlaying());
  EXPECT_LE(endNs - start, 1'301'000'000u);
}

TEST(SoundGameTest, ALostSoundCardLeavesTheLevelRunningSilently) {
  GameFixture g(75);
  TWaveCollection& items = g.form->DXWaveList1.Items();
  g.startLevel(1);
  g.ticks(50);
  ASSERT_TRUE(items[2].IsWavePlaying());
  g.hb().audio.simulateLoss();
  EXPECT_FALSE(g.form->DXSound1.Initialized());
  EXPECT_FALSE(items[2].IsWavePlaying());
  items[1].PlayWave(false);
  EXPECT_FALSE(items[1].IsWavePlaying());
  const QWORD music = BASS_ChannelGetPosition(game.musicStream);
  const int64_t ticks = game.ticks;
  g.ticks(500);
  EXPECT_EQ(game.ticks, ticks + 500);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), music);  // nothing plays it on
  g.click(kStopButton);
  g.startLevel(2);
  EXPECT_TRUE(game.levelRunning);
  EXPECT_FALSE(items[2].IsWavePlaying());
  EXPECT_EQ(items[2].playWaveCalls(), 2u);
  EXPECT_EQ(items[1].playWaveCalls(), 1u);
}

struct Loudness {
  int peak = 0;
  int64_t fullScale = 0;  // samples at either end of the 16-bit range
  double squares = 0;
  int64_t samples = 0;
  void add(int16_t v) {
    peak = std::max(peak, std::abs(int{v}));
    fullScale += v == 32767 || v == -32768;
    squares += static_cast<double>(v) * v;
    ++samples;
  }
  double rmsDb() const { return 10 * std::log10(squares / static_cast<double>(samples) / (32768.0 * 32768)); }
};

// Twelve seconds of level 4 as a player hears it (the music and the engine, the speed changed now
// and then), then its busiest moment: every effect at once over the music and the engine, a crash,
// the hole, a jump, a rock shot to pieces and three shots, twice in a row. The limiter is on or off
// (the plain sum, saturated, as the mix was before it).
void playNormalThenBusy(bool limiting, Loudness& normal, Loudness& busy) {
  GameFixture g(75, 3);  // a seed whose level 4 runs past the busiest moment
  g.audio->limiter().setEnabled(limiting);
  Loudness* now = &normal;
  g.hb().audio.setTap([&now](const int16_t* s, int frames) {
    for (int i = 0; i < 2 * frames; ++i) now->add(s[i]);
  });
  g.startLevel(4);
  for (int second = 0; second < 12; ++second) {
    game.speed = second % 3 == 1 ? game.fastSpeed : game.normalSpeed;
    g.ticks(75 * (game.speed + 1));
  }
  ASSERT_TRUE(game.levelRunning);
  now = &busy;
  TWaveCollection& items = g.form->DXWaveList1.Items();
  for (int round = 0; round < 2; ++round) {
    for (int entry : {3, 0, 1, 4, 5, 5, 5}) items[entry].PlayWave(false);
    g.ticks(30 * (game.speed + 1));
  }
  // Three seconds on, the crash has ended and the music is back to its full loudness.
  g.hb().clock.advanceTo(g.hb().clock.nowNs() + 3'000'000'000);
  EXPECT_EQ(g.audio->limiter().gain(), 1.0);
}

TEST(SoundGameTest, TheMixStaysBelowFullScaleAtItsBusiestAndAsLoudAsTheSumOtherwise) {
  Loudness normalSum, busySum, normal, busy;
  playNormalThenBusy(false, normalSum, busySum);
  playNormalThenBusy(true, normal, busy);
  std::printf(
      "[ measured ] normal: peak %d, %lld at full scale, %.2f dB RMS; limited: peak %d, %.2f dB RMS\n",
      normalSum.peak, static_cast<long long>(normalSum.fullScale), normalSum.rmsDb(), normal.peak,
      normal.rmsDb());
  std::printf(
      "[ measured ] busiest: peak %d, %lld at full scale, %.2f dB RMS; limited: peak %d, %.2f dB RMS\n",
      busySum.peak, static_cast<long long>(busySum.fullScale), busySum.rmsDb(), busy.peak, busy.rmsDb());
  // The plain sum clips at the busiest moment and already goes past the knee in the normal level.
  EXPECT_GT(busySum.fullScale, 100);
  EXPECT_GT(normalSum.peak, OutputLimiter::kKnee);
  ASSERT_EQ(normal.samples, normalSum.samples);
  // Through the limiter nothing reaches full scale, and the normal level keeps its loudness.
  EXPECT_EQ(busy.fullScale + normal.fullScale, 0);
  EXPECT_LE(std::max(busy.peak, normal.peak), OutputLimiter::kCeiling);
  EXPECT_NEAR(normal.rmsDb(), normalSum.rmsDb(), 0.5);
}

}  // namespace
}  // namespace kv
