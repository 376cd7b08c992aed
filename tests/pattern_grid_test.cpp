#include <gtest/gtest.h>

#include "gfx/pattern_grid.h"

namespace kv {
namespace {

TEST(PatternGrid, FontGlyphsFormTwentyColumnsAndFourRows) {
  const PatternGrid g = layoutPatterns(440, 88, 22, 22, 0, 0, false);
  ASSERT_EQ(g.patterns.size(), 80u);
  ASSERT_EQ(g.tiles.size(), 1u);
  EXPECT_EQ(g.tiles[0], (TRect{0, 0, 440, 88}));
  EXPECT_EQ(g.patterns[31].rect, (TRect{242, 22, 264, 44}));
  EXPECT_EQ(g.patterns[0].rect, (TRect{0, 0, 22, 22}));
  EXPECT_EQ(g.patterns[79].rect, (TRect{418, 66, 440, 88}));
}

TEST(PatternGrid, EightFrameStripsAndWholePictures) {
  const PatternGrid strip = layoutPatterns(664, 23, 83, 23, 0, 0, false);
  ASSERT_EQ(strip.patterns.size(), 8u);
  EXPECT_EQ(strip.patterns[7].rect, (TRect{581, 0, 664, 23}));
  const PatternGrid whole = layoutPatterns(166, 330, 166, 330, 0, 0, false);
  ASSERT_EQ(whole.patterns.size(), 1u);
  EXPECT_EQ(whole.patterns[0].rect, (TRect{0, 0, 166, 330}));
  // Partial cells at the right and bottom are dropped.
  EXPECT_EQ(layoutPatterns(100, 50, 30, 20, 0, 0, false).patterns.size(), 6u);
  // A pattern larger than the picture gives nothing at all.
  const PatternGrid none = layoutPatterns(10, 10, 20, 5, 0, 0, false);
  EXPECT_TRUE(none.patterns.empty());
  EXPECT_TRUE(none.tiles.empty());
  EXPECT_TRUE(layoutPatterns(0, 10, 0, 10, 0, 0, false).patterns.empty());
}

TEST(PatternGrid, SkipsLeaveGapsBetweenCells) {
  const PatternGrid g = layoutPatterns(100, 50, 30, 20, 5, 5, false);
  ASSERT_EQ(g.patterns.size(), 6u);  // (100 + 5) / 35 columns, (50 + 5) / 25 rows
  EXPECT_EQ(g.patterns[4].rect, (TRect{35, 25, 65, 45}));
  EXPECT_TRUE(layoutPatterns(100, 50, 30, 20, -30, 0, false).patterns.empty());
}

TEST(PatternGrid, WidePicturesAreCutIntoTilesOfWholeCells) {
  const PatternGrid g = layoutPatterns(5000, 10, 100, 10, 0, 0, false);
  ASSERT_EQ(g.tiles.size(), 3u);  // 2100 pixels: 21 cells to a tile
  EXPECT_EQ(g.tiles[0], (TRect{0, 0, 2100, 10}));
  EXPECT_EQ(g.tiles[2], (TRect{4200, 0, 5000, 10}));
  ASSERT_EQ(g.patterns.size(), 50u);
  EXPECT_EQ(g.patterns[20].tile, 0);
  EXPECT_EQ(g.patterns[21].tile, 1);
  EXPECT_EQ(g.patterns[21].rect, (TRect{0, 0, 100, 10}));
  EXPECT_EQ(g.patterns[49].tile, 2);
  EXPECT_EQ(g.patterns[49].rect, (TRect{700, 0, 800, 10}));

  const PatternGrid tall = layoutPatterns(10, 4500, 10, 30, 0, 0, false);
  ASSERT_EQ(tall.tiles.size(), 3u);  // 2070 rows: 69 cells to a tile
  EXPECT_EQ(tall.patterns[70].tile, 1);
  EXPECT_EQ(tall.patterns[70].rect, (TRect{0, 30, 10, 60}));

  // In system memory the whole picture is one surface.
  const PatternGrid sys = layoutPatterns(5000, 10, 100, 10, 0, 0, true);
  ASSERT_EQ(sys.tiles.size(), 1u);
  EXPECT_EQ(sys.patterns[49].rect, (TRect{4900, 0, 5000, 10}));
}

}  // namespace
}  // namespace kv
