// The vehicle on the headless game: driving limits and pace, the jump, landing, pits, the score of
// a cleared pit, and the wreck. Moves are made one sprite pass at a time, with the input states set
// as a poll would leave them.
#include <gtest/gtest.h>

#include <algorithm>

#include "actors/vehicle.h"
#include "state/game_state.h"
#include "state/terrain.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::GameFixture;

class VehicleTest : public ::testing::Test {
 protected:
  VehicleTest() {
    g.startLevel(1);
    game.holesOn = false;  // no pits but the ones a test digs
    resetTerrain();
  }
  void hold(TDXInputStates states) { g.form->DXInput1.InputStates = states; }
  void move(int n = 1) {
    for (int i = 0; i < n; ++i) g.form->DXSpriteEngine1.Move(1);
  }
  // Lets the vehicle settle on the flat ground.
  void settle() {
    hold(0);
    move(120);
  }
  void dig(int from, int to) {
    for (int c = from; c <= to; ++c) game.terrain[c].hole = true;
  }
  TSprajtczolgu1& body() { return *game.body; }

  GameFixture g;
};

TEST_F(VehicleTest, SevenPartsShiftTogetherBetweenTheLimitsAndPickThePace) {
  settle();
  EXPECT_EQ(game.speed, game.normalSpeed);
  body().X = 22;
  for (int i = 1; i <= 6; ++i) game.wheels[i]->X = 12 * i + 12;
  hold(stateBit(isLeft));
  move();
  EXPECT_DOUBLE_EQ(body().X, 20.5);
  EXPECT_EQ(game.speed, game.fastSpeed);
  move(3);
  EXPECT_DOUBLE_EQ(body().X, 19);
  for (int i = 1; i <= 6; ++i) EXPECT_DOUBLE_EQ(game.wheels[i]->X, 12 * i + 9) << i;

  body().X = 707.5;
  for (int i = 1; i <= 6; ++i) game.wheels[i]->X = 12 * i + 697.5;
  hold(stateBit(isRight));
  move();
  EXPECT_DOUBLE_EQ(body().X, 709);
  EXPECT_EQ(game.speed, game.slowSpeed);
  move(3);
  EXPECT_DOUBLE_EQ(body().X, 710.5);
  EXPECT_DOUBLE_EQ(game.wheels[6]->X, 772.5);

  // Both keys: the steps cancel and Right's pace wins.
  hold(stateBit(isLeft) | stateBit(isRight));
  body().X = 400;
  move(5);
  EXPECT_DOUBLE_EQ(body().X, 400);
  EXPECT_EQ(game.speed, game.slowSpeed);
}

TEST_F(VehicleTest, TheBodyRestsOnTheGroundAndAJumpLandsOnItsFortiethMove) {
  settle();
  EXPECT_DOUBLE_EQ(body().Y, 517);
  EXPECT_TRUE(body().Grounded);
  for (int i = 1; i <= 6; ++i) EXPECT_DOUBLE_EQ(game.wheels[i]->Y, 537) << i;
  // It rests on the column 30 right of its left edge, whatever lies under the rest of it.
  game.terrain[415].height = 530;
  game.terrain[430].height = 540;
  move();
  EXPECT_DOUBLE_EQ(body().Y, 507);
  resetTerrain();
  settle();

  game.jumpPending = false;
  hold(stateBit(isUp));
  move();
  EXPECT_FALSE(body().Grounded);
  EXPECT_TRUE(game.jumpPending);
  EXPECT_DOUBLE_EQ(body().VelocityY, -3.8);
  double highest = body().Y;
  int landedAfter = 0;
  for (int m = 2; m <= 45 && landedAfter == 0; ++m) {
    hold(m % 2 ? stateBit(isUp) : 0);  // pressing again in mid-air changes nothing
    move();
    highest = std::min(highest, body().Y);
    if (body().Grounded) landedAfter = m;
  }
  EXPECT_EQ(landedAfter, 40);
  EXPECT_NEAR(highest, 517 - 38, 1e-9);
  EXPECT_DOUBLE_EQ(body().Y, 517);
  // The wheels jumped with it and are back on their ground too.
  EXPECT_TRUE(game.wheels[3]->Grounded);
  EXPECT_DOUBLE_EQ(game.wheels[3]->Y, 537);
  EXPECT_EQ(game.points, 0);  // no pit passed beneath
}

TEST_F(VehicleTest, AJumpOverAPitScoresOnceAndAPitUnderfootWrecksTheVehicle) {
  settle();
  // A pit under the scoring column, 15 columns short of the column the body would fall into.
  dig(380, 410);
  hold(stateBit(isUp));
  move();
  hold(0);
  move(30);
  EXPECT_EQ(game.points, 1);
  EXPECT_FALSE(game.jumpPending);
  EXPECT_FALSE(game.wrecked);

  // A jump over flat ground leaves its point pending. A pit under the left edge then scores nothing
  // while the body stands on the ground, and at once when the body leaves it.
  resetTerrain();
  settle();
  hold(stateBit(isUp));
  move();
  hold(0);
  move(45);
  ASSERT_TRUE(body().Grounded);
  EXPECT_TRUE(game.jumpPending);
  dig(395, 405);
  move(5);
  EXPECT_EQ(game.points, 1);
  EXPECT_TRUE(game.jumpPending);
  hold(stateBit(isUp));
  move();
  hold(0);
  EXPECT_EQ(game.points, 2);
  EXPECT_FALSE(game.jumpPending);

  // Back on the ground with the pit 15 columns in: lost in this move, and all six wheels start
  // the wreck in the same pass.
  resetTerrain();
  settle();
  dig(415, 415);
  const int32_t before = game.wreckTime;
  move();
  EXPECT_TRUE(game.wrecked);
  EXPECT_FALSE(body().Visible);
  EXPECT_EQ(game.wreckTime - before, 6);
  EXPECT_DOUBLE_EQ(game.gravity, 0.13);
  // The wheels drift apart by WheelIndex - 3.9 a move.
  const double x1 = game.wheels[1]->X, x6 = game.wheels[6]->X;
  move();
  EXPECT_NEAR(game.wheels[1]->X - x1, -2.9, 1e-9);
  EXPECT_NEAR(game.wheels[6]->X - x6, 2.1, 1e-9);
  // The hidden body still follows the keys and jumps.
  hold(stateBit(isLeft) | stateBit(isUp));
  const double bx = body().X;
  move();
  EXPECT_DOUBLE_EQ(body().X, bx - 1.5);
  EXPECT_EQ(game.speed, game.fastSpeed);
}

TEST_F(VehicleTest, TheJumpAndThePitAreHeardAndThePitSoundPausesTheHoleTest) {
  TWaveCollection& sounds = g.form->DXWaveList1.Items();
  settle();
  hold(stateBit(isUp));
  move();
  hold(0);
  EXPECT_EQ(sounds[1].playWaveCalls(), 1u);  // "skok"
  move(45);
  EXPECT_EQ(sounds[1].playWaveCalls(), 1u);  // one jump, one sound

  // While the pit's sound plays the body's hole test rests: an intact vehicle standing over a pit
  // is lost only when the sound has ended, 1.3 s of virtual time later, and that fall is heard.
  sounds[0].PlayWave(false);
  move();
  ASSERT_TRUE(game.holeSoundPlaying);
  const uint64_t since = g.nowMs();
  auto pitUnderColumn415 = [&] {  // the ground scrolls a column a tick; the pit is put back
    resetTerrain();
    dig(415, 415);
  };
  while (!game.wrecked && g.nowMs() - since < 3000) {
    pitUnderColumn415();
    g.ticks(1);
  }
  ASSERT_TRUE(game.wrecked);
  // On the first move after the sound ended: within three refreshes (one to notice, one to fall,
  // the fall's own present).
  EXPECT_GE(g.nowMs() - since, 1300u);
  EXPECT_LE(g.nowMs() - since, 1300u + 3 * 17);
  EXPECT_EQ(sounds[0].playWaveCalls(), 2u);  // "dziura"
  // The wreck stands over the pit for two more seconds: no second fall is heard.
  for (const uint64_t wreckedAt = g.nowMs(); g.nowMs() - wreckedAt < 2000 && game.levelRunning;) {
    pitUnderColumn415();
    g.ticks(1);
  }
  EXPECT_EQ(sounds[0].playWaveCalls(), 2u);
  // The hidden body still jumps, with its sound.
  hold(stateBit(isUp));
  move();
  EXPECT_EQ(sounds[1].playWaveCalls(), 2u);
}

TEST_F(VehicleTest, WreckageEndsTheLevelAfterThreeHundredAndOneRedraws) {
  settle();
  // Wrecked near the left edge: the wheels drift off the row's ends and fall away from it.
  body().X = 19;
  for (int i = 1; i <= 6; ++i) game.wheels[i]->X = 12 * i + 9;
  game.wrecked = true;
  while (game.levelRunning) g.ticks(1);
  // Six wheel moves a redraw: the first value above 1800 comes with the 301st redraw.
  EXPECT_EQ(game.wreckTime, 1806);
  EXPECT_FALSE(game.levelWon);
  EXPECT_EQ(game.body, nullptr);
  EXPECT_EQ(g.form->DXSpriteEngine1.Engine()->SpriteCount(), 0);
}

}  // namespace
}  // namespace kv
