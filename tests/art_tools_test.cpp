// The readers of our art sources: text pixel art with running colours and per-frame patches,
// the glyph sheet of the HUD font, the grown tree, the matrix font source and the stored form.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "assets/images/art_text.h"
#include "assets/images/glyph_sheet.h"
#include "assets/images/pixel_art.h"
#include "assets/images/stored_picture.h"
#include "assets/images/tree_generator.h"
#include "assets/matrix_font/matrix_font_source.h"
#include "gfx/dib_writer.h"

namespace kv {
namespace {

constexpr Rgb8 kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

std::string errorOf(const std::string& text, DibPicture (*parse)(const std::string&, const std::string&)) {
  try {
    parse(text, "test.txt");
  } catch (const ArtSourceError& e) {
    return e.what();
  }
  return "";
}

const std::string kLegend =
    "depth 24\n"
    "key . 255 255 255\n"
    "colour r 255 0 0\n"
    "colour g 0 255 0\n"
    "colour b 0 0 255\n";

TEST(ArtTools, CyclesMoveColoursOnePlaceTowardsTheStartPerFrame) {
  const DibPicture p = parsePixelArt("size 4 1\nframes 3\n" + kLegend + "cycle rgb\nart\nrgb.\n", "t");
  ASSERT_EQ(p.width, 12);
  ASSERT_EQ(p.height, 1);
  const Rgb8 expected[3][4] = {
      {kRed, kGreen, kBlue, kWhite}, {kGreen, kBlue, kRed, kWhite}, {kBlue, kRed, kGreen, kWhite}};
  for (int f = 0; f < 3; ++f)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(p.at(f * 4 + x, 0), expected[f][x]) << f << "," << x;
}

TEST(ArtTools, PatchesChangeOnlyTheirFrameAndKeepDashes) {
  const DibPicture p =
      parsePixelArt("size 3 2\nframes 2\n" + kLegend + "art\nrrr\nrrr\n\npatch 1 1 0\nb-\n-g\n", "t");
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 2; ++y) EXPECT_EQ(p.at(x, y), kRed);
  EXPECT_EQ(p.at(3, 0), kRed);
  EXPECT_EQ(p.at(4, 0), kBlue);
  EXPECT_EQ(p.at(5, 0), kRed);
  EXPECT_EQ(p.at(4, 1), kRed);
  EXPECT_EQ(p.at(5, 1), kGreen);
}

TEST(ArtTools, MistakesInASourceAreNamedWithTheirLine) {
  auto art = [](const std::string& s) { return errorOf(s, parsePixelArt); };
  EXPECT_NE(art("size 3 1\n" + kLegend + "art\nrr\n").find("test.txt:8: row is 2 wide"), std::string::npos);
  EXPECT_NE(art("size 2 1\n" + kLegend + "art\nrx\n").find("'x' is not in the legend"), std::string::npos);
  EXPECT_NE(art("size 2 1\n" + kLegend + "art\n").find("fewer rows"), std::string::npos);
  EXPECT_NE(art("size 2 1\n" + kLegend + "art\nrr\npatch 1 0 0\nr\n").find("no frame 1"), std::string::npos);
  EXPECT_NE(art("size 2 1\n" + kLegend + "art\nrr\npatch 0 1 0\nrr\n").find("off the right"),
            std::string::npos);
  EXPECT_NE(art("size 2 1\n" + kLegend + "colour r 1 1 1\nart\nrr\n").find("named twice"), std::string::npos);
  // Near-white on a white key would turn transparent on the 16-bit display.
  EXPECT_NE(art("size 1 1\n" + kLegend + "colour w 250 253 250\nart\nw\n").find("vanish"), std::string::npos);
  EXPECT_EQ(art("size 1 1\n" + kLegend + "colour w 240 240 240\nart\nw\n"), "");
}

TEST(ArtTools, ColoursThatPackToTheKeyAreTooClose) {
  EXPECT_TRUE(tooCloseToKey({248, 252, 248}, kWhite));   // the same 5-6-5 pixel
  EXPECT_TRUE(tooCloseToKey({250, 250, 247}, kWhite));   // within 8 in every channel
  EXPECT_FALSE(tooCloseToKey({246, 255, 255}, kWhite));  // red packs differently
  EXPECT_FALSE(tooCloseToKey({255, 0, 255}, {128, 128, 255}));
}

const std::string kSheetHeader =
    "cell 5 5\ngrid 3 1\nkey 255 0 255\n"
    "ink outline 1 1 1\nink light 2 2 2\nink body 3 3 3\nink shade 4 4 4\n";

TEST(ArtTools, GlyphSheetInksShapesAndLeavesOtherCellsEmpty) {
  const DibPicture p =
      parseGlyphSheet(kSheetHeader + "glyph I 0 2\n.....\n.#...\n.#...\n.....\n.....\n", "t");
  ASSERT_EQ(p.bitCount, 8);
  ASSERT_EQ(p.width, 15);
  ASSERT_EQ(p.palette[0], (Rgb8{255, 0, 255}));
  auto ink = [&](int x, int y) { return p.indices[static_cast<size_t>(y) * p.width + x]; };
  EXPECT_EQ(ink(1, 1), 2);  // lit top
  EXPECT_EQ(ink(1, 2), 4);  // shaded bottom
  EXPECT_EQ(ink(0, 0), 1);  // outline all round ...
  EXPECT_EQ(ink(3, 3), 1);  // ... two wide at the bottom right
  EXPECT_EQ(ink(4, 4), 0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(ink(5 + x, y), 0) << "cell 1 stays empty";
      EXPECT_EQ(ink(10 + x, y), ink(x, y)) << "cell 2 repeats cell 0";
    }
  EXPECT_NE(errorOf(kSheetHeader + "glyph I 0\n.....\n.....\n.....\n.....\n...#.\n", parseGlyphSheet)
                .find("does not fit"),
            std::string::npos);
  EXPECT_NE(errorOf(kSheetHeader + "glyph I 0\n....\n", parseGlyphSheet).find("a glyph row"),
            std::string::npos);
}

TEST(ArtTools, TreeGrowsTheSameFromTheSameSeed) {
  const std::string source =
      "size 80 120\nkey 255 255 255\nseed 7\n"
      "colour bark-light 150 130 70\ncolour bark 110 90 40\ncolour bark-dark 70 60 30\n"
      "colour bark-outline 40 30 10\ncolour leaf-light 150 220 90\ncolour leaf 70 170 50\n"
      "colour leaf-dark 30 110 30\n";
  const DibPicture a = growTree(source, "t"), b = growTree(source, "t");
  const DibPicture c = growTree(std::string(source).replace(source.find("seed 7"), 6, "seed 8"), "t");
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_NE(a.pixels, c.pixels);
  int leaves = 0, wood = 0;
  for (const Rgb8& px : a.pixels) {
    if (px == Rgb8{70, 170, 50}) ++leaves;
    if (px == Rgb8{110, 90, 40}) ++wood;
  }
  EXPECT_GT(leaves, 0);
  EXPECT_GT(wood, 0);
  // The trunk stands in the middle of the bottom row, and the top corners stay empty.
  EXPECT_NE(a.at(40, 119), kWhite);
  EXPECT_EQ(a.at(0, 0), kWhite);
  EXPECT_EQ(a.at(79, 0), kWhite);
}

TEST(ArtTools, MatrixFontSourceNeedsEveryGlyph) {
  std::string source;
  for (char c = '@'; c <= 'Z'; ++c) {
    source += std::string("glyph ") + c + "\n";
    for (int r = 0; r < 20; ++r) source += c == 'A' && r == 0 ? "RY..............\n" : "................\n";
  }
  const std::vector<uint8_t> font = parseMatrixFontSource(source, "t");
  ASSERT_EQ(font.size(), 8640u);
  EXPECT_EQ(font[320], 17);
  EXPECT_EQ(font[321], 34);
  EXPECT_EQ(font[322], 0);

  auto error = [](const std::string& s) {
    try {
      parseMatrixFontSource(s, "t");
    } catch (const ArtSourceError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  const size_t z = source.find("glyph Z");
  EXPECT_NE(error(source.substr(0, z)).find("glyph Z is missing"), std::string::npos);
  EXPECT_NE(error(source + source.substr(z)).find("drawn twice"), std::string::npos);
  EXPECT_NE(error(std::string(source).replace(source.find("RY."), 3, "RX.")).find("16 cells"),
            std::string::npos);
  EXPECT_NE(error("glyph a\n").find("only '@'"), std::string::npos);
}

TEST(ArtTools, StoredPicturesReadBackAsWritten) {
  const std::string dir = ::testing::TempDir();
  DibPicture p24;
  p24.width = 3;
  p24.height = 2;
  p24.pixels = {kRed, kGreen, kBlue, kWhite, kRed, kGreen};
  DibPicture p32 = p24;
  p32.bitCount = 32;
  DibPicture p8;
  p8.width = 5;
  p8.height = 2;
  p8.bitCount = 8;
  p8.palette.assign(256, Rgb8{});
  p8.palette[7] = {1, 2, 3};
  p8.indices = {0, 7, 0, 7, 0, 7, 7, 0, 0, 0};
  for (const DibPicture* p : {&p24, &p32, &p8}) {
    const std::string path = dir + "/picture_" + std::to_string(p->bitCount) + ".tdib";
    const std::vector<uint8_t> bytes = writeTdib(*p);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const DibPicture q = loadStoredPicture(path);
    EXPECT_EQ(q.width, p->width);
    EXPECT_EQ(q.height, p->height);
    EXPECT_EQ(q.bitCount, p->bitCount);
    for (int y = 0; y < p->height; ++y)
      for (int x = 0; x < p->width; ++x)
        EXPECT_EQ(q.at(x, y), p->at(x, y)) << p->bitCount << ": " << x << "," << y;
    // A file cut short is refused, not read past its end.
    std::FILE* g = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size() - 1, g);
    std::fclose(g);
    EXPECT_THROW(loadStoredPicture(path), ArtSourceError);
  }
}

}  // namespace
}  // namespace kv
