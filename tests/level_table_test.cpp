#include <gtest/gtest.h>

#include "core/level_table.h"
#include "state/game_state.h"
#include "state/random.h"

namespace kv {
namespace {

class LevelTableTest : public ::testing::Test {
 protected:
  void SetUp() override { resetGameState(); }
  void play(int level) {
    game.level = level;
    applyLevelTable();
  }
};

TEST_F(LevelTableTest, EachLevelSwitchesItsFeatures) {
  const struct {
    int level;
    bool rocks, holes, ufos, upward;
    int ammo;
  } expected[] = {{1, false, true, false, false, 2}, {2, true, false, false, false, 55},
                  {3, true, true, false, false, 40}, {4, false, false, true, true, 60},
                  {5, true, true, true, true, 60},   {6, true, true, true, true, 80}};
  for (const auto& e : expected) {
    play(e.level);
    EXPECT_EQ(game.rocksOn, e.rocks) << "level " << e.level;
    EXPECT_EQ(game.holesOn, e.holes) << "level " << e.level;
    EXPECT_EQ(game.ufosOn, e.ufos) << "level " << e.level;
    EXPECT_EQ(game.upwardShotsOn, e.upward) << "level " << e.level;
    EXPECT_EQ(game.ammoLimit, e.ammo) << "level " << e.level;
  }
}

TEST_F(LevelTableTest, ADashKeepsWhatTheLastLevelSet) {
  play(1);
  EXPECT_EQ(game.holeChance, 250);
  EXPECT_EQ(game.rockChance, 0);  // never set yet: still the program-start value
  play(6);
  EXPECT_EQ(game.rockChance, 500);
  EXPECT_EQ(game.bombChance, 40);
  play(1);  // level 1 leaves the rock, UFO and bomb chances of level 6 in place
  EXPECT_EQ(game.holeChance, 250);
  EXPECT_EQ(game.rockChance, 500);
  EXPECT_EQ(game.ufoChance, 3000);
  EXPECT_EQ(game.bombChance, 40);
  EXPECT_FALSE(game.rocksOn);
  play(4);  // level 4 after level 6 takes its own UFO and bomb chances
  EXPECT_EQ(game.ufoChance, 1000);
  EXPECT_EQ(game.bombChance, 62);
  EXPECT_EQ(game.holeChance, 250);
  play(2);
  EXPECT_EQ(game.rockChance, 400);
  EXPECT_EQ(game.bombChance, 62);
}

TEST_F(LevelTableTest, ThereAreOnlySixLevels) {
  EXPECT_THROW(levelRow(0), std::out_of_range);
  EXPECT_THROW(levelRow(7), std::out_of_range);
}

TEST(RandomTest, SameSeedSameSequenceAndRangesHold) {
  RandomGenerator a, b;
  a.seed(1234);
  b.seed(1234);
  for (int i = 0; i < 1000; ++i) {
    int32_t n = 1 + i % 800;
    int32_t va = a.next(n);
    ASSERT_EQ(va, b.next(n));
    ASSERT_GE(va, 0);
    ASSERT_LT(va, n);
  }
}

TEST(RandomTest, ZeroRangeGivesZeroButStillAdvances) {
  RandomGenerator a, b;
  a.seed(7);
  b.seed(7);
  EXPECT_EQ(a.next(0), 0);
  EXPECT_EQ(a.next(-5), 0);
  b.next(10);
  b.next(10);
  EXPECT_EQ(a.state(), b.state());
}

TEST(RandomTest, DrawsAreSpreadOverTheRange) {
  RandomGenerator g;
  g.seed(99);
  int counts[8] = {};
  for (int i = 0; i < 80000; ++i) ++counts[g.next(8)];
  for (int c : counts) {
    EXPECT_GT(c, 9000);
    EXPECT_LT(c, 11000);
  }
}

}  // namespace
}  // namespace kv
