#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/audio/music_stream.h"
#include "state/game_state.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::GameFixture;

class FrameLoopTest : public ::testing::Test {
 protected:
  GameFixture g;
};

TEST_F(FrameLoopTest, RedrawsEverySpeedPlusOneTicksOnePresentPerRefresh) {
  g.startLevel(1);
  ASSERT_TRUE(game.levelRunning);
  ASSERT_EQ(game.speed, 6);
  game.normalSpeed = 6;  // the vehicle keeps the pace while no key is held
  game.redrawTicks = 0;
  const int before = g.presents();
  const uint64_t t0 = g.nowMs();
  g.ticks(70);
  EXPECT_EQ(g.presents() - before, 10);
  // Play switched on the vertical-blank wait: ten redraws take ten refreshes at 60 Hz.
  EXPECT_GE(g.display().waitedPresentCount(), 10);
  EXPECT_NEAR(static_cast<double>(g.nowMs() - t0), 10 * 1000.0 / 60, 17);
  // A speed change applies to the period running now.
  game.speed = game.normalSpeed = 2;
  const int mid = g.presents();
  g.ticks(9);
  EXPECT_EQ(g.presents() - mid, 3);
}

TEST_F(FrameLoopTest, TheGroundScrollsOneColumnEveryTick) {
  g.startLevel(1);
  game.terrain[1] = {530, false};
  g.ticks(1);
  EXPECT_EQ(game.terrain[2].height, 530);
  for (int i = 0; i < 5; ++i) {
    const int marker = 500 + i;
    game.terrain[1].height = marker;  // column 1 may still change by a ground step in this tick
    g.ticks(1);
    EXPECT_EQ(game.terrain[2].height, game.terrain[1].height);
  }
  const int h = game.terrain[2].height;
  g.ticks(3);
  EXPECT_EQ(game.terrain[5].height, h);
}

TEST_F(FrameLoopTest, ADistanceUnitLastsEightHundredAndOneTicks) {
  g.startLevel(1);
  game.holesOn = false;  // no pit may end the level meanwhile
  // The count is looked at on ground steps only, every third tick. With the steps on ticks 3, 6, ...
  // the unit ends on tick 801, and every later one 801 ticks after the last.
  game.groundTicks = 0;
  g.ticks(800);
  EXPECT_EQ(game.distance, 0);
  g.ticks(1);
  EXPECT_EQ(game.distance, 1);
  EXPECT_EQ(game.distanceTicks, 0);
  g.ticks(800);
  EXPECT_EQ(game.distance, 1);
  g.ticks(1);
  EXPECT_EQ(game.distance, 2);
  // With the steps on ticks 2, 5, ... the step on tick 800 is not past 800 yet: the next, on 803, is.
  game.distanceTicks = 0;
  game.groundTicks = 1;
  g.ticks(802);
  EXPECT_EQ(game.distance, 2);
  g.ticks(1);
  EXPECT_EQ(game.distance, 3);
}

TEST_F(FrameLoopTest, CoveringTheDistanceWinsAndCarriesThePoints) {
  g.startLevel(1);
  game.points = 3;
  game.distance = 40;
  game.distanceTicks = 790;
  g.ticks(20);
  EXPECT_FALSE(game.levelRunning);
  EXPECT_TRUE(game.levelWon);
  EXPECT_EQ(game.distance, 41);
  EXPECT_EQ(game.totalPoints, 3);
  EXPECT_TRUE(g.form->Button4.Visible());
  EXPECT_FALSE(g.form->DXTimer1.Running());
  EXPECT_TRUE(g.form->DXTimer2.Running());
}

TEST_F(FrameLoopTest, AWreckEndsTheLevelWithoutPoints) {
  g.startLevel(1);
  game.points = 4;
  game.wreckTime = 1800;
  g.ticks(5);
  EXPECT_TRUE(game.levelRunning);  // 1800 is not enough
  game.wreckTime = 1801;
  g.ticks(1);
  EXPECT_FALSE(game.levelRunning);
  EXPECT_FALSE(game.levelWon);
  EXPECT_EQ(game.totalPoints, 0);
}

TEST_F(FrameLoopTest, ALevelEndsOnlyOnceInATick) {
  g.startLevel(2);
  const int64_t ends = game.ticks;
  game.points = 2;
  game.wreckTime = 5000;
  game.distance = 41;
  g.ticks(1);
  EXPECT_FALSE(game.levelRunning);
  EXPECT_FALSE(game.levelWon);  // the wreck ended it first
  EXPECT_EQ(game.totalPoints, 0);
  EXPECT_EQ(game.ticks, ends + 1);
}

TEST_F(FrameLoopTest, StopHandledInsideATickSkipsTheRestOfIt) {
  g.startLevel(1);
  game.redrawTicks = game.speed;  // this tick would redraw
  g.post(Event::Kind::MouseDown, kStopButton.centreX(), kStopButton.centreY());
  g.post(Event::Kind::MouseUp, kStopButton.centreX(), kStopButton.centreY());
  const int before = g.presents();
  const int32_t column2 = game.terrain[2].height;
  game.terrain[1].height = column2 + 7;
  g.idle(1);
  EXPECT_FALSE(game.levelRunning);
  // Only the selection screen's caption was presented; the tick neither redrew nor scrolled.
  EXPECT_EQ(g.presents() - before, 1);
  EXPECT_EQ(game.terrain[2].height, column2);
  EXPECT_TRUE(game.surfaceLocked);
  EXPECT_TRUE(g.form->Button4.Visible());
  EXPECT_FALSE(g.form->Button2.Visible());
}

TEST_F(FrameLoopTest, AfterAStopTheNextLevelRedrawsWhenItsCounterSays) {
  g.startLevel(1);
  game.redrawTicks = game.speed;  // the tick that handles Stop has a redraw due
  g.post(Event::Kind::MouseDown, kStopButton.centreX(), kStopButton.centreY());
  g.post(Event::Kind::MouseUp, kStopButton.centreX(), kStopButton.centreY());
  g.idle(1);
  ASSERT_FALSE(game.levelRunning);
  g.startLevel(2);
  ASSERT_TRUE(game.levelRunning);
  ASSERT_EQ(game.redrawTicks, 0);
  const int before = g.presents();
  g.ticks(game.speed);
  EXPECT_EQ(g.presents(), before);  // nothing left over from the stopped level
  g.ticks(1);
  EXPECT_EQ(g.presents(), before + 1);
}

TEST_F(FrameLoopTest, LevelOneDigsPitsThatScrollAcross) {
  g.startLevel(1);
  int firstPitTick = -1;
  for (int i = 1; i <= 4000 && firstPitTick < 0; ++i) {
    g.ticks(1);
    if (game.terrain[1].hole) firstPitTick = i;
  }
  ASSERT_GT(firstPitTick, 0) << "no pit in 4000 ticks";
  EXPECT_GE(firstPitTick, 300);  // not before the level-start cooldown
  g.ticks(200);
  // The pit has moved 200 columns across, keeping its 105 flagged columns together.
  int flagged = 0, deepest = 0;
  for (int c = 1; c <= 801; ++c) {
    if (game.terrain[c].hole) {
      ++flagged;
      deepest = std::max(deepest, game.terrain[c].height - game.terrain[200].height);
    }
  }
  EXPECT_EQ(flagged % 105, 0);
  EXPECT_GE(flagged, 105);
  EXPECT_TRUE(game.terrain[201].hole || game.terrain[202].hole);
  EXPECT_GT(deepest, 40);
}

TEST_F(FrameLoopTest, RocksWaitForTheirCooldown) {
  g.startLevel(2);  // rocks only, 1 in 400
  int64_t lastSpawnTick = -1;
  int spawns = 0;
  int32_t count = game.rockCount;
  for (int i = 0; i < 6000 && game.levelRunning; ++i) {
    g.ticks(1);
    if (game.rockCount != count) {
      count = game.rockCount;
      ++spawns;
      EXPECT_GE(game.ticks - lastSpawnTick, lastSpawnTick < 0 ? 1100 : 300);
      EXPECT_EQ(game.rockCooldown, 300);
      lastSpawnTick = game.ticks;
    }
  }
  EXPECT_GT(spawns, 2);
}

TEST_F(FrameLoopTest, NoRockComesOverAPitAndOneComesSoonAfterIt) {
  g.startLevel(2);
  game.rockCooldown = 0;
  int refused = 0;
  for (int i = 0; i < 3000; ++i) {
    game.terrain[1].hole = true;  // a pit at the left edge all along, kept off the rest of the row
    g.ticks(1);
    game.terrain[2].hole = false;
    if (game.rockDraw == 17) ++refused;
  }
  EXPECT_GT(refused, 0);  // the draw came up, and came up again while the pit lasted
  EXPECT_EQ(game.rockCount, 0);
  game.terrain[1].hole = false;
  for (int i = 0; i < 4000 && game.rockCount == 0; ++i) g.ticks(1);
  EXPECT_EQ(game.rockCount, 1);
  EXPECT_EQ(game.rockDraw, 0);
}

TEST_F(FrameLoopTest, OneTickInTwentySeedsAStarAndTheSkyShowsThem) {
  g.startLevel(1);
  game.holesOn = false;
  int seeded = 0;
  for (int i = 0; i < 6000; ++i) {
    g.ticks(1);
    if (game.stars[1] >= 0) ++seeded;
  }
  EXPECT_GT(seeded, 200);
  EXPECT_LT(seeded, 400);
  game.redrawTicks = game.speed;  // the next tick redraws with the row as it stands then
  g.ticks(1);
  int shown = 0;
  for (int c = 2; c <= 799; ++c) {
    const int y = game.stars[c];
    if (y < 100 || y > 400) continue;  // clear of the HUD and the ground
    EXPECT_EQ(g.display().lastFrame()[y * 800 + c], 0xFFFF) << "star at " << c << ", " << y;
    ++shown;
  }
  EXPECT_GT(shown, 5);  // the row shifts every ninth tick, keeping one seed in nine
}

TEST_F(FrameLoopTest, AMinimisedGameKeepsItsPaceAndComesBackDrawing) {
  g.startLevel(1);
  g.post(Event::Kind::Minimize);
  g.app->ProcessMessages();
  EXPECT_FALSE(g.form->DXDraw1.Initialized());
  game.normalSpeed = 6;
  game.redrawTicks = 0;
  const int presents = g.presents();
  const uint64_t t0 = g.nowMs();
  g.ticks(70);
  EXPECT_EQ(g.presents(), presents);                                       // nothing to show
  EXPECT_NEAR(static_cast<double>(g.nowMs() - t0), 10 * 1000.0 / 60, 17);  // but ten refreshes passed
  g.post(Event::Kind::Restore);
  g.app->ProcessMessages();
  EXPECT_TRUE(g.form->DXDraw1.Initialized());
  g.ticks(14);
  EXPECT_EQ(g.presents(), presents + 2);
  EXPECT_EQ(g.display().lastFrame()[560 * 800 + 700], 0x5AA0);  // the ground again
}

TEST(FrameLoopPaceTest, FastDisplaysWaitForSeveralVerticalBlanks) {
  GameFixture g(144);
  EXPECT_EQ(game.refreshRate, 72);
  EXPECT_EQ(g.form->vblanksPerFlip(), 2);
  g.startLevel(1);
  const int before = g.display().vblankCount();
  const int presents = g.presents();
  g.ticks(70);
  EXPECT_EQ(g.display().vblankCount() - before, 2 * (g.presents() - presents));
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// A data folder with the block font and a test tone (one second by default) as the music.
std::string shortMusicDir(const std::string& tone = "tone44k") {
  const std::string dir = test::blockFontDir() + "/with_" + tone;
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(test::blockFontDir() + "/alfabet", dir + "/alfabet",
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy_file(KV_TEST_FIXTURE_DIR "/" + tone + ".mp3", dir + "/Velunora002c.mp3",
                             std::filesystem::copy_options::overwrite_existing);
  return dir;
}

// Lets virtual time pass outside the ticks until the music stands exactly at `bytes`.
void playMusicUpTo(test::GameFixture& g, uint64_t bytes) {
  VirtualClock& clock = g.hb().clock;
  for (uint64_t pos; (pos = BASS_ChannelGetPosition(game.musicStream)) < bytes;) {
    // Never more than the frames still missing (a frame lasts a little over 22675 ns).
    clock.advanceTo(clock.nowNs() + std::max<uint64_t>(1, (bytes - pos) / 4) * 22675);
  }
}

TEST(FrameLoopMusicTest, TheTickRestartsTheMusicOnlyPastOneHundredBytesBeforeItsEnd) {
  if (!std::filesystem::exists(KV_TEST_FIXTURE_DIR "/tone44k.mp3"))
    GTEST_SKIP() << "no MP3 fixtures (no lame)";
  GameFixture g(60, 1, {shortMusicDir()});
  g.startLevel(1);
  g.ticks(1);  // the banner ran the tone out; this tick started it over
  const uint32_t length = game.musicLength;
  ASSERT_EQ(length, 44100u * 4);
  playMusicUpTo(g, length - 100);
  ASSERT_EQ(BASS_ChannelGetPosition(game.musicStream), length - 100);
  game.redrawTicks = 0;  // ticks that do not redraw let no time pass
  const uint64_t t = g.hb().clock.nowNs();
  g.ticks(1);
  ASSERT_EQ(g.hb().clock.nowNs(), t);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), length - 100);  // not yet
  playMusicUpTo(g, length - 96);                                       // one frame on
  game.redrawTicks = 0;
  g.ticks(1);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), 0u);  // started over
}

TEST(FrameLoopMusicTest, MusicShorterThanOneHundredBytesPlaysOnceAndNeverLoops) {
  if (!std::filesystem::exists(KV_TEST_FIXTURE_DIR "/blip44k.mp3"))
    GTEST_SKIP() << "no MP3 fixtures (no lame)";
  GameFixture g(60, 1, {shortMusicDir("blip44k")});
  ASSERT_EQ(game.musicLength, 80u);
  // The margin is taken from the length in unsigned 32 bits: 80 - 100 is 4294967276, beyond any
  // position, so the check never fires. The level start plays the blip once; then it stays over.
  g.startLevel(1);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), 80u);
  for (int i = 0; i < 100; ++i) {
    g.ticks(1);
    ASSERT_EQ(BASS_ChannelGetPosition(game.musicStream), 80u) << "tick " << i;
  }
  EXPECT_TRUE(game.levelRunning);
}

TEST(FrameLoopMusicTest, TheMusicStartsWithTheFirstLevelAndLoops) {
  if (!std::filesystem::exists(KV_TEST_FIXTURE_DIR "/tone44k.mp3"))
    GTEST_SKIP() << "no MP3 fixtures (no lame)";
  GameFixture g(60, 1, {shortMusicDir()});
  ASSERT_NE(game.musicStream, 0u);
  EXPECT_EQ(game.musicLength, 44100u * 4);
  g.moveMouse(300, 300);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), 0u);  // nothing plays before the first level
  g.startLevel(1);
  // The banner's three seconds ran the one-second tone out; the first tick starts it again.
  EXPECT_GE(BASS_ChannelGetPosition(game.musicStream), game.musicLength - 100);
  g.ticks(1);
  EXPECT_LT(BASS_ChannelGetPosition(game.musicStream), 4u * 1000);
  uint64_t last = 0;
  int restarts = 0;
  for (int i = 0; i < 60 * 7 * 3; ++i) {  // about three seconds of ticks at 60 Hz
    g.ticks(1);
    const uint64_t pos = BASS_ChannelGetPosition(game.musicStream);
    if (pos < last) ++restarts;
    last = pos;
    ASSERT_LE(pos, game.musicLength);
  }
  EXPECT_GE(restarts, 2);
}

TEST(FrameLoopMusicTest, WithoutMusicTheLoopCheckDoesNothing) {
  GameFixture g(60, 1, {test::blockFontDir()});  // no music file there
  EXPECT_EQ(game.musicStream, 0u);
  EXPECT_EQ(BASS_ChannelGetPosition(game.musicStream), kPositionError);
  g.startLevel(1);
  g.ticks(100);
  EXPECT_TRUE(game.levelRunning);
}

}  // namespace
}  // namespace kv
