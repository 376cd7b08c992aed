#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gfx/dd_surface.h"
#include "gfx/matrix_captions.h"
#include "gfx/matrix_font.h"
#include "gfx/turbopixels.h"
#include "platform/components/component_errors.h"

namespace kv {
namespace {

constexpr uint16_t kRed = 0xF800, kYellow = 0xFFE0;

class CaptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (MatrixGlyph& g : matrixFont) g.fill(0);
    surface.Create(800, 566, PixelLayout::Rgb565);
    ASSERT_TRUE(LockSurface(surface));
  }
  void TearDown() override { UnlockSurface(); }

  // Counts the pixels of a colour and the box around them.
  struct Box {
    int count = 0, left = 9999, top = 9999, right = -1, bottom = -1;
  };
  Box box(uint16_t color) {
    Box b;
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x)
        if (surface.Pixel(x, y) == color) {
          ++b.count;
          b.left = std::min(b.left, x);
          b.right = std::max(b.right, x);
          b.top = std::min(b.top, y);
          b.bottom = std::max(b.bottom, y);
        }
    return b;
  }
  MatrixGlyph& glyph(char c) { return matrixFont[static_cast<size_t>(c - 64)]; }

  TDirectDrawSurface surface;
};

TEST_F(CaptionsTest, AFullGlyphCoversItsAreaAtEveryScale) {
  glyph('A').fill(kRedCell);
  for (int s = 1; s <= 4; ++s) {
    surface.Fill(0);
    drawMatrixGlyph(100, 50, 'A', s);
    Box b = box(kRed);
    EXPECT_EQ(b.left, 100 + s) << "scale " << s;
    EXPECT_EQ(b.top, 50 + s) << "scale " << s;
    EXPECT_EQ(b.right - b.left + 1, 16 * s + 1) << "scale " << s;
    EXPECT_EQ(b.bottom - b.top + 1, 20 * s + 1) << "scale " << s;
    EXPECT_EQ(b.count, (16 * s + 1) * (20 * s + 1)) << "scale " << s;
  }
}

TEST_F(CaptionsTest, SquaresOverlapAndTheLaterCellWins) {
  glyph('B')[0] = kRedCell;     // row 1, column 1
  glyph('B')[1] = kYellowCell;  // row 1, column 2: its square starts on the red square's last column
  drawMatrixGlyph(0, 0, 'B', 2);
  // Red square: x 2..4, y 2..4; yellow: x 4..6. Each filled cell writes 9 pixels at scale 2.
  EXPECT_EQ(box(kRed).count, 6);
  EXPECT_EQ(box(kYellow).count, 9);
  EXPECT_EQ(surface.Pixel(4, 3), kYellow);
  EXPECT_EQ(surface.Pixel(3, 3), kRed);
}

TEST_F(CaptionsTest, OnlyTheTwoInkValuesDraw) {
  for (size_t k = 0; k < kGlyphCells; ++k) glyph('C')[k] = static_cast<uint8_t>(k % 2 ? 1 : 0x33);
  surface.Fill(0x1234);
  drawMatrixGlyph(10, 10, 'C', 3);
  EXPECT_EQ(box(0x1234).count, 800 * 566);
}

TEST_F(CaptionsTest, TextAdvancesBySixteenScalesAndSpaceIsGlyphSixtyFour) {
  glyph('A').fill(kYellowCell);
  glyph('@').fill(kRedCell);  // glyph 64: drawn by a space and by the at sign
  drawMatrixText(10, 310, "A A", 4);
  Box y = box(kYellow), r = box(kRed);
  EXPECT_EQ(y.left, 14);
  EXPECT_EQ(y.right, 14 + 2 * 64 + 64);
  // The space's glyph lies between them; each later glyph takes the column it shares with the one before.
  EXPECT_EQ(r.left, 14 + 64);
  EXPECT_EQ(r.right, 14 + 2 * 64 - 1);
}

TEST_F(CaptionsTest, CharactersWithoutAGlyphDrawNothingAndReadNothingOutside) {
  for (MatrixGlyph& g : matrixFont) g.fill(kRedCell);
  drawMatrixText(0, 0, std::string("a[?\x01\xff", 5), 1);
  EXPECT_EQ(box(kRed).count, 0);
  drawMatrixGlyph(0, 0, 63, 1);
  drawMatrixGlyph(0, 0, 91, 1);
  EXPECT_EQ(box(kRed).count, 0);
  drawMatrixGlyph(0, 0, 'Z', -2);  // a negative scale draws nothing
  EXPECT_EQ(box(kRed).count, 0);
}

TEST(MatrixFontFileTest, ShortFilesFillWithTheirLastByte) {
  const std::string path = ::testing::TempDir() + "/short_alfabet";
  {
    std::ofstream f(path, std::ios::binary);
    f << std::string(320, '\0') << '\x11' << '\x22';  // glyph 64 empty, then two cells of glyph 65
  }
  loadMatrixFont(path);
  EXPECT_EQ(matrixFont[0][319], 0);
  EXPECT_EQ(matrixFont[1][0], kRedCell);
  EXPECT_EQ(matrixFont[1][1], kYellowCell);
  EXPECT_EQ(matrixFont[1][2], kYellowCell);
  EXPECT_EQ(matrixFont[26][319], kYellowCell);

  { std::ofstream empty(path, std::ios::binary | std::ios::trunc); }
  loadMatrixFont(path);
  EXPECT_EQ(matrixFont[26][319], 0);
  std::remove(path.c_str());
}

TEST(MatrixFontFileTest, AMissingFileRaisesWithItsName) {
  try {
    loadMatrixFont("/nonexistent/alfabet");
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot open file \"/nonexistent/alfabet\""), std::string::npos);
  }
}

}  // namespace
}  // namespace kv
