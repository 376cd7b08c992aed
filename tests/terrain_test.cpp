#include <gtest/gtest.h>

#include <vector>

#include "core/ground_drawing.h"
#include "gfx/dd_surface.h"
#include "gfx/turbopixels.h"
#include "state/game_state.h"
#include "state/random.h"
#include "state/terrain.h"

namespace kv {
namespace {

class TerrainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGameState();
    game.columnCount = 801;
    resetTerrain();
  }
};

TEST_F(TerrainTest, PitAndCraterShapes) {
  const std::vector<int> pit = {1,  2,  3,  4,  5,  5,  6,  6,  6,  6,  5,  5,  4,  3,  2,  1,  0, -1,
                                -2, -3, -4, -5, -5, -6, -6, -6, -6, -6, -5, -4, -4, -3, -2, -1, 0};
  const std::vector<int> crater = {2,  4,  6,  8,  9,  11, 13, 15, 16, 18, 19, 21, 22, 23,
                                   24, 25, 26, 26, 27, 27, 28, 28, 28, 28, 28, 27, 27, 26,
                                   25, 25, 24, 23, 21, 20, 19, 17, 16, 14, 12, 10, 9};
  int sum = 0, deepest = 0;
  for (int s = 1; s <= 35; ++s) {
    EXPECT_EQ(pitIncrement(s), pit[static_cast<size_t>(s - 1)]) << "step " << s;
    sum += pitIncrement(s);
    deepest = std::max(deepest, sum);
  }
  EXPECT_EQ(deepest, 64);
  EXPECT_EQ(sum, -5);  // every pit leaves the ground 5 pixels higher
  for (int k = 1; k <= 41; ++k)
    EXPECT_EQ(craterIncrement(k), crater[static_cast<size_t>(k - 1)]) << "k " << k;
}

TEST_F(TerrainTest, ResetFlattensOnlyTheColumnsInUse) {
  game.terrain[802] = {123, true};
  game.stars[5] = 77;
  game.terrain[10] = {600, true};
  resetTerrain();
  EXPECT_EQ(game.terrain[10].height, 550);
  EXPECT_FALSE(game.terrain[10].hole);
  EXPECT_EQ(game.terrain[801].height, 550);
  EXPECT_EQ(game.terrain[802].height, 123);
  EXPECT_EQ(game.stars[5], 77);
}

TEST_F(TerrainTest, ScrollMovesEveryColumnRightAndRepeatsColumnOne) {
  game.terrain[1] = {530, true};
  game.terrain[2] = {540, false};
  game.terrain[800] = {560, false};
  game.terrain[801] = {570, true};
  scrollTerrain();
  EXPECT_EQ(game.terrain[1].height, 530);
  EXPECT_TRUE(game.terrain[1].hole);
  EXPECT_EQ(game.terrain[2].height, 530);
  EXPECT_TRUE(game.terrain[2].hole);
  EXPECT_EQ(game.terrain[3].height, 540);
  EXPECT_EQ(game.terrain[801].height, 560);  // the old last column falls off
  EXPECT_EQ(game.terrain[802].height, 0);    // slots beyond the row are untouched
}

TEST_F(TerrainTest, WalkStaysInItsBandAndPitsFlagEveryColumnTheyMake) {
  randomGenerator.seed(42);
  game.holesOn = false;
  for (int i = 0; i < 20000; ++i) {
    stepGround();
    ASSERT_GE(game.terrain[1].height, 520);
    ASSERT_LE(game.terrain[1].height, 580);
    ASSERT_FALSE(game.terrain[1].hole);
  }
}

TEST_F(TerrainTest, APitFollowsItsShapeAndLeavesTheGroundFiveHigher) {
  randomGenerator.seed(3);
  game.holesOn = true;
  game.holeChance = 1;  // every draw is 0: a pit starts as soon as the cooldown allows
  game.holeCooldown = 0;
  int expected = 550;
  int walk = 0;
  std::vector<int> heights;
  for (int step = 1; step <= 36; ++step) {
    const int before = game.terrain[1].height;
    stepGround();
    if (step == 1) {
      EXPECT_TRUE(game.holeActive);
      EXPECT_EQ(game.holeCooldown, 250);
    }
    // Separate the walk's pixel from the pit's increment.
    const int change = game.terrain[1].height - before;
    const int walkPart = step <= 35 ? change - pitIncrement(step) : change;
    ASSERT_GE(walkPart, -1);
    ASSERT_LE(walkPart, 1);
    walk += walkPart;
    if (step <= 35) {
      expected += pitIncrement(step);
      EXPECT_TRUE(game.terrain[1].hole) << "step " << step;
    } else {
      EXPECT_FALSE(game.terrain[1].hole);
      EXPECT_FALSE(game.holeActive);
    }
    heights.push_back(game.terrain[1].height);
    EXPECT_EQ(game.terrain[1].height, expected + walk);
    game.holeCooldown = 1;  // keep a second pit from starting
  }
  EXPECT_EQ(heights.back() - walk, 545);
}

TEST_F(TerrainTest, ThePitCooldownHoldsTheNextPitBack) {
  game.holesOn = true;
  game.holeChance = 1;
  game.holeCooldown = 5;
  stepGround();
  EXPECT_FALSE(game.holeActive);
  EXPECT_FALSE(game.terrain[1].hole);
}

TEST_F(TerrainTest, StarsAreSeededFromTheStarDrawAndDriftRight) {
  randomGenerator.seed(9);
  game.starDraw = 10;
  seedStar();
  EXPECT_GE(game.stars[1], 0);
  EXPECT_LE(game.stars[1], 600);
  const int star = game.stars[1];
  shiftStars();
  EXPECT_EQ(game.stars[2], star);
  game.starDraw = 3;
  seedStar();
  EXPECT_EQ(game.stars[1], -1);
}

TEST_F(TerrainTest, CratersDigIntoWhatIsThereAndFlagTheirColumns) {
  for (int i = 380; i <= 420; ++i) game.terrain[i] = {560, i < 400};  // half of it already a pit
  blowCrater(400);
  EXPECT_EQ(game.terrain[379].height, 550);
  EXPECT_FALSE(game.terrain[379].hole);
  EXPECT_EQ(game.terrain[380].height, 562);  // k = 1
  EXPECT_EQ(game.terrain[400].height, 588);  // k = 21, the deepest
  EXPECT_EQ(game.terrain[420].height, 569);  // k = 41
  EXPECT_EQ(game.terrain[421].height, 550);
  for (int i = 380; i <= 420; ++i) EXPECT_TRUE(game.terrain[i].hole);
  blowCrater(5);  // near the edge: only the columns of the row are touched
  EXPECT_TRUE(game.terrain[1].hole);
}

TEST_F(TerrainTest, LookupsOutsideTheRowFindNoGround) {
  game.terrain[1] = {531, true};
  EXPECT_EQ(groundAt(1).height, 531);
  EXPECT_TRUE(groundAt(1).hole);
  for (int c : {0, -1, -900, 802, 820, 821, 100000}) {
    EXPECT_EQ(groundAt(c).height, kNoGround) << c;
    EXPECT_FALSE(groundAt(c).hole) << c;
  }
}

TEST_F(TerrainTest, DrawGroundPaintsColumnsAndStarsAndClipsTheRest) {
  TDirectDrawSurface s;
  s.Create(800, 566, PixelLayout::Rgb565);
  game.stars.fill(-1);
  game.stars[11] = 100;           // drawn at x 11
  game.stars[21] = 555;           // under the ground of column 21: painted over
  game.stars[801] = 50;           // x 801: off the surface
  game.terrain[30].height = 614;  // a deep pit: no ground in this column at all
  ASSERT_TRUE(LockSurface(s));
  drawGround();
  UnlockSurface();
  EXPECT_EQ(s.Pixel(11, 100), 0xFFFF);
  EXPECT_EQ(s.Pixel(21, 555), 0x5AA0);
  EXPECT_EQ(s.Pixel(5, 549), 0);
  EXPECT_EQ(s.Pixel(5, 550), 0x5AA0);
  EXPECT_EQ(s.Pixel(5, 565), 0x5AA0);
  EXPECT_EQ(s.Pixel(0, 560), 0);  // screen column 0 never shows ground
  EXPECT_EQ(s.Pixel(30, 565), 0);
  EXPECT_EQ(s.Pixel(799, 560), 0x5AA0);
}

}  // namespace
}  // namespace kv
