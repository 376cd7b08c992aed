// The guns, rocks, trees, saucers and the bomb on the headless game, one sprite pass at a time.
#include <gtest/gtest.h>

#include <utility>

#include "actors/rock.h"
#include "actors/shots.h"
#include "actors/tree.h"
#include "actors/ufo.h"
#include "actors/vehicle.h"
#include "state/game_state.h"
#include "state/terrain.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::GameFixture;

class HazardsTest : public ::testing::Test {
 protected:
  void start(int level) {
    g.startLevel(level);
    game.holesOn = false;
    resetTerrain();
    game.normalSpeed = 6;  // the pace the level starts with, kept while no key is held
    hold(0);
    move(120);  // the vehicle lands on the flat ground
  }
  void hold(TDXInputStates states) { g.form->DXInput1.InputStates = states; }
  void move(int n = 1) {
    for (int i = 0; i < n; ++i) g.form->DXSpriteEngine1.Move(1);
  }
  TSprajtkamienia* rockAt(double x) {
    g.form->spawnRock();
    TSprajtkamienia* rock = game.rocks[game.rockCount];
    rock->X = x;
    return rock;
  }
  TSprajtpocisku& forward() { return *game.forwardShot; }
  TSprajtpocisku1& upward() { return *game.upwardShot; }
  // How often wave entry `entry` was started so far.
  uint64_t plays(int entry) { return g.form->DXWaveList1.Items()[entry].playWaveCalls(); }
  static constexpr int kCrash = 3, kHit = 4, kShot = 5;  // "kamien", "Trafiony", "strzal"

  GameFixture g;
};

TEST_F(HazardsTest, AHeldTriggerFiresAStreamUntilTheRoundsAreSpent) {
  start(1);  // two rounds, no upward gun
  ASSERT_DOUBLE_EQ(game.body->X, 400);
  hold(stateBit(isButton1));
  move();
  EXPECT_TRUE(forward().Flying);
  EXPECT_DOUBLE_EQ(forward().X, 380);
  EXPECT_DOUBLE_EQ(forward().Y, 517 + 4);
  EXPECT_EQ(game.ammoUsed, 1);
  move(17);
  EXPECT_DOUBLE_EQ(forward().X, 6);
  EXPECT_NEAR(forward().Y, 521 + 17 * 0.3, 1e-9);
  move();  // at -16 it is stopped and, the trigger still held, relaunched in the same move
  EXPECT_DOUBLE_EQ(forward().X, 380);
  EXPECT_EQ(game.ammoUsed, 2);
  move(18);
  EXPECT_FALSE(forward().Flying);
  EXPECT_FALSE(forward().Visible);
  EXPECT_EQ(game.ammoUsed, 2);
  EXPECT_EQ(plays(kShot), 2u);  // one bang a launch, none without rounds
  // On a level without the upward gun its shot never leaves its place.
  EXPECT_FALSE(upward().Visible);
  EXPECT_DOUBLE_EQ(upward().Y, 400);
}

TEST_F(HazardsTest, TheForwardGunTakesTheLastRoundBeforeTheUpwardOne) {
  start(4);
  game.ammoUsed = game.ammoLimit - 1;
  hold(stateBit(isButton1));
  move();
  EXPECT_TRUE(forward().Flying);
  EXPECT_FALSE(upward().Flying);
  EXPECT_EQ(game.ammoUsed, game.ammoLimit);
  EXPECT_EQ(plays(kShot), 1u);
  move(40);
  EXPECT_FALSE(upward().Visible);

  // With rounds left both fire at once; the upward shot climbs 22 a move and leaves after 24.
  game.ammoUsed = 0;
  move();
  EXPECT_TRUE(upward().Flying);
  EXPECT_DOUBLE_EQ(upward().X, 410);
  EXPECT_DOUBLE_EQ(upward().Y, 517);
  EXPECT_EQ(game.ammoUsed, 1);  // only the forward shot spends rounds
  EXPECT_EQ(plays(kShot), 3u);  // both guns are heard
  hold(0);
  move(23);
  EXPECT_TRUE(upward().Flying);
  move();
  EXPECT_FALSE(upward().Flying);
}

TEST_F(HazardsTest, RocksRideTheGroundWreckTheBodyAndFallToTheForwardGun) {
  start(2);
  TSprajtkamienia* rock = rockAt(1.0);
  EXPECT_DOUBLE_EQ(rock->Y, 550 - 40 + 3);
  // At speed 6 a rock gains 7 a move: dead and hidden on its 116th move, at 806.
  game.body->Y = 0;  // out of its way
  game.body->Grounded = false;
  game.gravity = 0;
  game.body->VelocityY = 0;
  move(115);
  EXPECT_DOUBLE_EQ(rock->X, 806);
  EXPECT_FALSE(rock->IsDead());
  move();
  EXPECT_TRUE(rock->IsDead());
  EXPECT_FALSE(rock->Visible);
  move(3);
  EXPECT_DOUBLE_EQ(rock->X, 806);
  EXPECT_FALSE(game.wrecked);

  // A rock that meets the body and a flying shot in one scan: the body is met first, so the vehicle
  // is wrecked with a crash, and the rock is then shot for a point with a hit's sound.
  game.gravity = 0.1;
  move(120);
  hold(stateBit(isButton1));
  move();
  hold(0);
  ASSERT_DOUBLE_EQ(forward().X, 380);
  TSprajtkamienia* both = rockAt(363);  // after the next move: 370..405, over the body's left edge at
                                        // 400 and the shot's 358..378
  move();
  EXPECT_TRUE(game.wrecked);
  EXPECT_EQ(plays(kCrash), 1u);
  EXPECT_EQ(game.points, 1);
  EXPECT_EQ(plays(kHit), 1u);
  EXPECT_TRUE(both->IsDead());
  EXPECT_DOUBLE_EQ(both->X, 810);
  EXPECT_FALSE(forward().Flying);
  EXPECT_FALSE(forward().Visible);
  EXPECT_FALSE(forward().Collisioned);

  // Another rock rolls through the wreck in silence, touching it once, and travels on.
  TSprajtkamienia* through = rockAt(game.body->X - 40);
  move();
  EXPECT_FALSE(through->Collisioned);
  EXPECT_TRUE(through->Visible);
  EXPECT_EQ(plays(kCrash), 1u);
  const double x = through->X;
  move();
  EXPECT_DOUBLE_EQ(through->X, x + 7);
  EXPECT_EQ(game.points, 1);
}

TEST_F(HazardsTest, RectanglesThatOnlyTouchDoNotCollide) {
  start(2);
  hold(stateBit(isButton1));
  move();
  hold(0);
  // After the next move the rock's right edge (35 past its left) lies exactly on the shot's left
  // edge.
  const double shotLeft = forward().X - 22;
  TSprajtkamienia* rock = rockAt(shotLeft - 35 - 7);
  move();
  EXPECT_TRUE(forward().Flying);
  EXPECT_FALSE(rock->IsDead());
  EXPECT_EQ(game.points, 0);
}

TEST_F(HazardsTest, TreesDriftSlowerThanTheGroundAndWrapPastTheRightEdge) {
  start(1);
  TSprajtdrzewa& tree = *game.trees[1];
  tree.X = 860 - (6 / 1.3 + 0.1);
  move();
  EXPECT_NEAR(tree.X, 860, 1e-9);  // not past it yet
  tree.X = 860.5 - (6 / 1.3 + 0.1);
  move();
  EXPECT_GE(tree.X, -189);
  EXPECT_LE(tree.X, -90);
  EXPECT_EQ(tree.X, static_cast<int>(tree.X));
  EXPECT_DOUBLE_EQ(tree.Y, 550 - 250);
}

TEST_F(HazardsTest, SaucersFlyTheirSineBounceAtBothEdgesAndDropTheBomb) {
  start(4);
  // Out of play, resting over x 0, no saucer drops the bomb whatever the draw.
  game.bombDraw = 17;
  move();
  EXPECT_TRUE(game.bomb->Ready);
  EXPECT_FALSE(game.bomb->Visible);
  TSprajtwroga& ufo = *game.ufos[1];
  ufo.Active = ufo.Visible = ufo.Collisioned = true;
  game.bombDraw = 0;
  // The altitude follows x alone: 40 over the left edge, 70 a quarter wave in, 10 at three quarters.
  ufo.SpeedX = 0;
  for (const auto& [x, y] : {std::pair{0.0, 40.0}, {62.83, 70.0}, {188.5, 10.0}, {300.0, 68.1399993}}) {
    ufo.X = x;
    move();
    EXPECT_NEAR(ufo.Y, y, 1e-6) << "at x " << x;
  }
  // Past the left edge it turns back.
  ufo.X = 1;
  ufo.SpeedX = -2;
  move();
  EXPECT_DOUBLE_EQ(ufo.X, -1);
  EXPECT_EQ(ufo.SpeedX, 2);
  move();
  EXPECT_DOUBLE_EQ(ufo.X, 1);
  // From x 0 at 0.9 a move it first passes 800 on its 889th move, at about 800.1, and turns there.
  ufo.X = 0;
  ufo.SpeedX = 0.9L;
  int turnedAfter = 0;
  for (int m = 1; m <= 900 && !turnedAfter; ++m) {
    move();
    if (ufo.SpeedX < 0) turnedAfter = m;
  }
  EXPECT_EQ(turnedAfter, 889);
  EXPECT_NEAR(ufo.X, 800.1, 1e-6);
  EXPECT_NEAR(ufo.Y, 67.418878, 1e-5);

  // The first visible saucer left of 500 drops the bomb; the next finds it gone.
  ufo.X = 520;
  ufo.SpeedX = 0;
  TSprajtwroga& second = *game.ufos[2];
  TSprajtwroga& fourth = *game.ufos[4];
  for (TSprajtwroga* u : {&second, &fourth}) {
    u->Active = u->Visible = u->Collisioned = true;
    u->SpeedX = 0;
  }
  second.X = 300;
  fourth.X = 100;
  game.bombDraw = 17;
  move();
  game.bombDraw = 0;
  TSprajtbomby& bomb = *game.bomb;
  EXPECT_FALSE(bomb.Ready);
  EXPECT_TRUE(bomb.Visible);
  EXPECT_DOUBLE_EQ(bomb.X, 341);
  // Released at the saucer's altitude over x 300, it has already fallen 10 in this pass.
  EXPECT_NEAR(bomb.Y, 68.1399993 + 10, 1e-6);

  // From altitude 40 over flat ground at 550 it lands on its 51st move and blows the crater.
  bomb.Y = 40;
  move(50);
  EXPECT_FALSE(bomb.Ready);
  move();
  EXPECT_TRUE(bomb.Ready);
  EXPECT_FALSE(bomb.Visible);
  EXPECT_DOUBLE_EQ(bomb.Y, 0);
  EXPECT_EQ(game.terrain[341 - 20].height, 552);
  EXPECT_EQ(game.terrain[341 + 1].height, 578);
  EXPECT_EQ(game.terrain[341 + 20].height, 559);
  for (int c = 341 - 20; c <= 341 + 20; ++c) EXPECT_TRUE(game.terrain[c].hole) << c;
  EXPECT_FALSE(game.terrain[341 - 21].hole);
  EXPECT_FALSE(game.terrain[341 + 21].hole);
}

TEST_F(HazardsTest, ALaunchTakesTheFirstSaucerOutOfPlayAndRestartsTheFifthWhenAllFly) {
  start(4);
  for (int i : {1, 2, 4}) {
    game.ufos[i]->Active = true;
    game.ufos[i]->X = 100 * i;
  }
  g.form->launchUfo();
  const TSprajtwroga& third = *game.ufos[3];
  EXPECT_TRUE(third.Active);
  EXPECT_TRUE(third.Visible);
  EXPECT_TRUE(third.Collisioned);
  EXPECT_DOUBLE_EQ(third.X, 0);
  EXPECT_GE(third.Y, 55);  // a random start height, replaced by the altitude on its first move
  EXPECT_LE(third.Y, 124);
  EXPECT_GE(third.SpeedX, 0.9L);  // always to the right at first
  EXPECT_LE(third.SpeedX, 3.591L);
  EXPECT_FALSE(game.ufos[5]->Active);
  g.form->launchUfo();
  EXPECT_TRUE(game.ufos[5]->Active);
  // All five in play: the fifth starts over from the left edge, the others fly on where they were.
  game.ufos[5]->X = 700;
  game.ufos[5]->SpeedX = -1;
  g.form->launchUfo();
  EXPECT_DOUBLE_EQ(game.ufos[5]->X, 0);
  EXPECT_GT(game.ufos[5]->SpeedX, 0);
  for (int i : {1, 2, 4}) EXPECT_DOUBLE_EQ(game.ufos[i]->X, 100 * i) << i;
  EXPECT_DOUBLE_EQ(third.X, 0);
}

TEST_F(HazardsTest, OneUpwardShotThroughTwoSaucersScoresTwiceAndFliesOn) {
  start(4);
  for (int i : {2, 3}) {
    TSprajtwroga& u = *game.ufos[i];
    u.Active = u.Visible = u.Collisioned = true;
    u.SpeedX = 0;
    u.X = 380;
  }
  game.bombDraw = 0;
  upward().Flying = upward().Visible = upward().Collisioned = true;
  upward().X = 410;
  upward().Y = 37.75 + 22;  // after its next step level with both saucers, at altitude 37.75 over x 380
  move();
  EXPECT_EQ(game.points, 2);
  EXPECT_TRUE(upward().Flying);
  EXPECT_FALSE(game.ufos[2]->Active);
  EXPECT_FALSE(game.ufos[3]->Visible);
  // Out-of-play slots at their resting place score nothing.
  upward().X = 10;
  upward().Y = 40 + 22;
  move();
  EXPECT_EQ(game.points, 2);
}

}  // namespace
}  // namespace kv
