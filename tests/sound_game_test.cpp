// The sound effects inside the whole game: the engine's hum over a level, the hole sound's length
// in virtual time, and a sound card that goes away in the middle of a level.
#include <gtest/gtest.h>

#include "platform/audio/mixer.h"
#include "platform/audio/music_stream.h"
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

}  // namespace
}  // namespace kv
