// Whole levels played by a careful player: they can be won, and the points carry over.
#include <gtest/gtest.h>

#include "state/game_state.h"
#include "tests/autopilot.h"
#include "tests/game_fixture.h"

namespace kv {
namespace {

using test::Autopilot;
using test::GameFixture;

TEST(PlayTest, ACarefulPlayerWinsPitsRocksSaucersAndCraters) {
  GameFixture g;
  Autopilot player(g);
  int total = 0;
  for (int level : {3, 4}) {
    g.startLevel(level);
    player.playLevel();
    EXPECT_TRUE(game.levelWon) << "level " << level << " wrecked at distance " << game.distance;
    EXPECT_FALSE(game.wrecked) << level;
    EXPECT_EQ(game.distance, 41) << level;
    EXPECT_GT(game.points, 0) << level;
    EXPECT_LE(game.ammoUsed, game.ammoLimit);
    // Level 3 rolls rocks at the player all along; level 4 has none.
    if (level == 3) {
      EXPECT_GT(game.rockCount, 10);
    } else {
      EXPECT_EQ(game.rockCount, 0) << level;
    }
    // Every actor, the dead rocks among them, went with the level.
    EXPECT_EQ(g.form->DXSpriteEngine1.Engine()->SpriteCount(), 0) << level;
    EXPECT_EQ(g.form->DXSpriteEngine1.Engine()->Count(), 0) << level;
    total += game.points;
    EXPECT_EQ(game.totalPoints, total);
  }
}

}  // namespace
}  // namespace kv
