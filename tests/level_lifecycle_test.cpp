#include <gtest/gtest.h>

#include "actors/image_sprite.h"
#include "actors/shots.h"
#include "actors/tree.h"
#include "actors/ufo.h"
#include "actors/vehicle.h"
#include "core/game_observer.h"
#include "gfx/turbopixels.h"
#include "state/game_state.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::GameFixture;

struct CountingObserver : GameObserver {
  int starts = 0, ends = 0;
  void levelStarted() override { ++starts; }
  void levelEnded() override { ++ends; }
};

class LevelLifecycleTest : public ::testing::Test {
 protected:
  LevelLifecycleTest() { g.form->setObserver(&observer); }
  // Plays a level to a win by jumping the distance to its last unit.
  void win(int level, int points) {
    g.startLevel(level);
    game.points = points;
    game.distance = 40;
    game.distanceTicks = 800;
    g.ticks(3);
    ASSERT_FALSE(game.levelRunning);
    ASSERT_TRUE(game.levelWon);
  }
  GameFixture g;
  CountingObserver observer;
};

TEST_F(LevelLifecycleTest, TheActorsStartOverTheGroundTheLastLevelLeft) {
  // The first level of a run finds the ground all zero: the vehicle starts above the top edge and
  // falls onto the new ground, the trees stand on row 230.
  g.startLevel(1);
  EXPECT_DOUBLE_EQ(game.body->X, 400);
  EXPECT_DOUBLE_EQ(game.body->Y, -33);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_DOUBLE_EQ(game.wheels[i]->X, 390 + 12 * i) << i;
    EXPECT_DOUBLE_EQ(game.wheels[i]->Y, -13) << i;
  }
  for (int i = 1; i <= 5; ++i) {
    EXPECT_DOUBLE_EQ(game.trees[i]->Y, 230) << i;
    EXPECT_GE(game.trees[i]->X, 0) << i;
    EXPECT_LE(game.trees[i]->X, 799) << i;
    EXPECT_TRUE(game.trees[i]->Visible) << i;
  }
  for (TImageSprite* shot :
       {static_cast<TImageSprite*>(game.forwardShot), static_cast<TImageSprite*>(game.upwardShot)}) {
    EXPECT_DOUBLE_EQ(shot->X, 300);
    EXPECT_DOUBLE_EQ(shot->Y, 400);
    EXPECT_FALSE(shot->Visible);
  }
  EXPECT_DOUBLE_EQ(game.bomb->X, 800);
  EXPECT_DOUBLE_EQ(game.bomb->Y, 10);
  EXPECT_TRUE(game.bomb->Ready);
  for (int i = 1; i <= 5; ++i) EXPECT_FALSE(game.ufos[i]->Visible) << i;
  for (int m = 0; m < 100; ++m) g.form->DXSpriteEngine1.Move(1);
  EXPECT_DOUBLE_EQ(game.body->Y, 517);
  EXPECT_DOUBLE_EQ(game.wheels[1]->Y, 537);
  g.click(kStopButton);

  // A later level starts each part over the column of the old ground it rests on: the body over
  // column 430, every wheel over column 400, the trees 230 below column 1.
  for (int c = 1; c <= 801; ++c) game.terrain[c].height = 100 + c;
  g.startLevel(2);
  EXPECT_DOUBLE_EQ(game.body->Y, 530 - 33);
  for (int i = 1; i <= 6; ++i) EXPECT_DOUBLE_EQ(game.wheels[i]->Y, 500 - 13) << i;
  for (int i = 1; i <= 5; ++i) EXPECT_DOUBLE_EQ(game.trees[i]->Y, 101 + 230) << i;
  EXPECT_EQ(game.terrain[430].height, 550);  // the new ground is flat
}

TEST_F(LevelLifecycleTest, ALevelStartsFromFreshStateAfterItsBanner) {
  // What a wrecked level left behind.
  game.distance = 17;
  game.distanceTicks = 500;
  game.points = 9;
  game.wrecked = true;
  game.levelWon = true;
  game.wreckTime = 900;
  game.ammoUsed = 2;
  game.rockCount = 4;
  game.holeSoundPlaying = true;
  g.click(kPlayButton);  // Play
  const uint64_t before = g.nowMs();
  g.click(levelButton(3));               // level 3
  EXPECT_GE(g.nowMs() - before, 3000u);  // the banner holds the program for three seconds
  EXPECT_TRUE(game.levelRunning);
  EXPECT_EQ(game.level, 3);
  EXPECT_TRUE(game.rocksOn);
  EXPECT_TRUE(game.holesOn);
  EXPECT_EQ(game.columnCount, 801);
  EXPECT_EQ(game.holeCooldown, 300);
  EXPECT_EQ(game.rockCooldown, 1100);
  EXPECT_EQ(game.distance, 0);
  EXPECT_EQ(game.distanceTicks, 0);
  EXPECT_EQ(game.points, 0);
  EXPECT_FALSE(game.wrecked);
  EXPECT_FALSE(game.levelWon);
  EXPECT_EQ(game.wreckTime, 0);
  EXPECT_EQ(game.ammoUsed, 0);
  EXPECT_EQ(game.rockCount, 0);
  EXPECT_FALSE(game.holeSoundPlaying);
  EXPECT_EQ(game.speed, 6);
  EXPECT_DOUBLE_EQ(game.gravity, 0.1);
  EXPECT_EQ(game.terrain[400].height, 550);
  EXPECT_FALSE(game.terrain[400].hole);
  EXPECT_TRUE(g.form->DXTimer1.Running());
  EXPECT_FALSE(g.form->DXTimer2.Running());
  EXPECT_TRUE(g.form->Button2.Visible());
  for (TButton* b : {&g.form->Button1, &g.form->Button3, &g.form->Button4, &g.form->Button9})
    EXPECT_FALSE(b->Visible()) << b->Caption();
  EXPECT_EQ(observer.starts, 1);
}

TEST_F(LevelLifecycleTest, WonLevelsBelowSixCarryTheirPoints) {
  win(1, 3);
  EXPECT_EQ(game.totalPoints, 3);
  win(5, 4);
  EXPECT_EQ(game.totalPoints, 7);
  win(6, 10);  // the last level's points are not added
  EXPECT_EQ(game.totalPoints, 7);
  win(2, 1);  // an earlier level again still adds
  EXPECT_EQ(game.totalPoints, 8);
  EXPECT_EQ(observer.ends, 4);
}

TEST_F(LevelLifecycleTest, StoppedAndWreckedLevelsDropTheirPoints) {
  g.startLevel(1);
  game.points = 5;
  g.click(kStopButton);  // Stop
  EXPECT_FALSE(game.levelRunning);
  EXPECT_EQ(game.totalPoints, 0);
  g.startLevel(2);
  game.points = 5;
  game.wreckTime = 1801;
  g.ticks(1);
  EXPECT_FALSE(game.levelRunning);
  EXPECT_EQ(game.totalPoints, 0);
  EXPECT_EQ(game.points, 5);  // dropped only by the next level start
}

TEST_F(LevelLifecycleTest, DigitKeysDuringALevelDecideWhetherItsWinCounts) {
  g.startLevel(3);
  g.key('6');  // handled in the tick's message processing
  EXPECT_EQ(game.level, 6);
  game.points = 4;
  game.distance = 40;
  game.distanceTicks = 800;
  g.ticks(3);
  EXPECT_TRUE(game.levelWon);
  EXPECT_EQ(game.totalPoints, 0);

  g.startLevel(6);
  g.key('2');
  game.points = 4;
  game.distance = 40;
  game.distanceTicks = 800;
  g.ticks(3);
  EXPECT_EQ(game.totalPoints, 4);
}

TEST_F(LevelLifecycleTest, TheLevelEndShowsTheSelectionAgain) {
  g.startLevel(4);
  g.click(kStopButton);
  EXPECT_FALSE(g.form->DXTimer1.Running());
  EXPECT_TRUE(g.form->DXTimer2.Running());
  EXPECT_FALSE(g.form->Button1.Visible());
  EXPECT_FALSE(g.form->Button2.Visible());
  EXPECT_TRUE(g.form->Button3.Visible());
  for (TButton* b : {&g.form->Button4, &g.form->Button5, &g.form->Button6, &g.form->Button7, &g.form->Button8,
                     &g.form->Button9}) {
    EXPECT_TRUE(b->Visible()) << b->Caption();
    EXPECT_TRUE(b->Enabled()) << b->Caption();
  }
  EXPECT_TRUE(game.surfaceLocked);
  EXPECT_EQ(observer.ends, 1);
  // A second end (a stray Stop) does nothing.
  g.form->zakonczplansze();
  EXPECT_EQ(observer.ends, 1);
}

TEST_F(LevelLifecycleTest, ALevelNeverStartsOnASurfaceTheMenuHoldsLocked) {
  g.click(kPlayButton);  // Play: the selection screen takes the pixel lock until its first tick
  ASSERT_TRUE(game.surfaceLocked);
  ASSERT_TRUE(g.form->DXDraw1.Surface()->Locked());
  g.click(levelButton(1));  // a level button before the first backdrop tick
  EXPECT_FALSE(game.surfaceLocked);
  EXPECT_FALSE(g.form->DXDraw1.Surface()->Locked());
  EXPECT_TRUE(game.levelRunning);
  // The level draws normally from its first redraw.
  game.redrawTicks = game.speed;
  const int before = g.presents();
  g.ticks(1);
  EXPECT_EQ(g.presents() - before, 1);
  EXPECT_EQ(g.display().lastFrame()[560 * 800 + 100], 0x5AA0);
}

TEST_F(LevelLifecycleTest, ALevelButtonHandledInsideABackdropTickStopsThatTick) {
  g.click(kPlayButton);  // Play
  g.idle(1);             // the first backdrop tick: every column sinks, no messages run
  // In the next tick column 2 rises and the pending click is handled between two columns.
  g.post(Event::Kind::MouseDown, levelButton(1).centreX(), levelButton(1).centreY());
  g.post(Event::Kind::MouseUp, levelButton(1).centreX(), levelButton(1).centreY());
  const int before = g.presents();
  g.idle(1);
  EXPECT_TRUE(game.levelRunning);
  EXPECT_FALSE(game.surfaceLocked);
  EXPECT_FALSE(g.form->DXDraw1.Surface()->Locked());
  EXPECT_EQ(g.presents() - before, 1);  // the banner; the interrupted backdrop tick presented nothing
}

}  // namespace
}  // namespace kv
