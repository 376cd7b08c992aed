#include <gtest/gtest.h>

#include "gfx/backdrop.h"
#include "gfx/dd_surface.h"
#include "gfx/turbopixels.h"

namespace kv {
namespace {

class BackdropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UnlockSurface();
    for (BackdropColumn& c : backdropColumns) c = BackdropColumn{};
    resetBackdrop();
    surface.Create(800, 566, PixelLayout::Rgb565);
  }
  void TearDown() override { UnlockSurface(); }
  bool tick() {
    return backdropTick(surface, locked, [this] {
      ++messageRuns;
      return keepGoing;
    });
  }
  void put(int x, int y, uint16_t v) { surface.Row(y)[x] = v; }

  TDirectDrawSurface surface;
  bool locked = false;
  bool keepGoing = true;
  int messageRuns = 0;
};

TEST_F(BackdropTest, TheWaveEntersAtThirtyEightAndMovesOneColumnPerTick) {
  EXPECT_EQ(backdropBase, 258);
  EXPECT_EQ(backdropColumns[5].current, 142);
  for (int t = 1; t <= 5; ++t) {
    tick();
    EXPECT_EQ(backdropColumns[static_cast<size_t>(t)].current, 38) << "tick " << t;
  }
  EXPECT_EQ(backdropColumns[6].current, 142);
  EXPECT_NEAR(static_cast<double>(backdropPhase), 1.025, 1e-12);
}

TEST_F(BackdropTest, TheFirstRunSinksEveryColumnAndBlackensRowFiveHundredOne) {
  for (int x = 0; x < 800; ++x) put(x, 501, 0xFFFF);
  put(50, 502, 0xFFE0);  // yellow below: the sinking branch turns the pixel above it red
  put(1, 398, 0xF800);   // column 1 already holds the wave's 38: its examined pixel is 258 + 102 + 38
  EXPECT_TRUE(tick());
  EXPECT_EQ(surface.Pixel(1, 397), 0xFFE0);
  EXPECT_EQ(surface.Pixel(1, 501), 0xFFFF);
  EXPECT_EQ(surface.Pixel(2, 501), 0);
  EXPECT_EQ(surface.Pixel(799, 501), 0);
  EXPECT_EQ(surface.Pixel(50, 501), 0xF800);
  EXPECT_EQ(surface.Pixel(0, 501), 0xFFFF);  // column 0 belongs to no record
  EXPECT_EQ(messageRuns, 0);                 // sinking columns run no messages
  EXPECT_FALSE(locked);
}

TEST_F(BackdropTest, RisingColumnsRecolourTheirEdgeAndRunMessages) {
  tick();  // previous := 38 in column 1 and 142 elsewhere; the wave moved on to column 2
  // Column 2 rose from 142 to 38: P = (2, 258 + 99 + 38), Q one row below.
  put(2, 395, 0xFFE0);
  tick();
  EXPECT_EQ(surface.Pixel(2, 396), 0xF800);
  EXPECT_EQ(messageRuns, 1);
  put(3, 395, 0xF800);
  put(4, 395, 0xFFE0);  // column 4 is not reached yet
  tick();
  EXPECT_EQ(surface.Pixel(3, 396), 0xFFE0);
  EXPECT_EQ(surface.Pixel(4, 396), 0);
  EXPECT_EQ(messageRuns, 2);
}

TEST_F(BackdropTest, OnAFiveFiveFiveSurfaceEveryChangeWritesBlack) {
  surface.Create(800, 566, PixelLayout::Rgb555);
  for (int x = 0; x < 800; ++x) {
    put(x, 502, 0x7FE0);  // yellow in 5-5-5 is not yellow to the wave
    put(x, 501, 0x7C00);
  }
  tick();
  EXPECT_EQ(surface.Pixel(100, 501), 0);
}

TEST_F(BackdropTest, ItSharesTheMenusLockAndStopsWhenTheScreenIsTakenOver) {
  // The menu took the lock before the first tick: the tick uses it and gives it back.
  ASSERT_TRUE(LockSurface(surface));
  locked = true;
  EXPECT_TRUE(tick());
  EXPECT_FALSE(locked);
  EXPECT_FALSE(surface.Locked());

  // A handler run after a rising column takes the screen: the tick stops at once, without
  // shifting the wave, giving back a lock or presenting.
  keepGoing = false;
  put(2, 395, 0xFFE0);
  EXPECT_FALSE(tick());
  EXPECT_EQ(messageRuns, 1);
  EXPECT_EQ(surface.Pixel(2, 396), 0xF800);  // this column was recoloured before the messages ran
  EXPECT_EQ(backdropColumns[2].current, 142);
  EXPECT_TRUE(locked);
}

}  // namespace
}  // namespace kv
