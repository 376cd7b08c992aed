// The built pictures and the matrix font file, read back from the build folder: the sizes,
// depths, layouts and transparent colours the game relies on, and the few things each picture
// must show for the game to make sense (running lamps, looking eyes, empty font cells).
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "assets/images/stored_picture.h"
#include "gfx/dib_format.h"
#include "tests/test_files.h"

namespace kv {
namespace {

struct Entry {
  const char* name;
  int width, height, bitCount, patternWidth, patternHeight;
  Rgb8 key;
};

constexpr Rgb8 kWhite{255, 255, 255};
const Entry kCatalogue[] = {
    {"kolo", 15, 14, 24, 15, 14, {128, 128, 255}}, {"czolg", 664, 23, 32, 83, 23, kWhite},
    {"font", 440, 88, 8, 22, 22, {255, 0, 255}},   {"kamien", 35, 40, 24, 35, 40, kWhite},
    {"pocisk", 20, 8, 24, 20, 8, {255, 255, 128}}, {"drzewko", 166, 330, 24, 166, 330, kWhite},
    {"ufo", 664, 27, 32, 83, 27, kWhite},          {"pocisk1", 6, 16, 24, 6, 16, {255, 255, 0}},
    {"bomba", 11, 22, 24, 11, 22, kWhite},
};

std::string imagePath(const std::string& name) {
  return std::string(KV_IMAGE_BUILD_DIR) + "/" + name + ".tdib";
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t pack565(Rgb8 c) {
  return static_cast<uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3));
}

const Entry& entry(const std::string& name) {
  for (const Entry& e : kCatalogue)
    if (name == e.name) return e;
  throw std::logic_error("no entry " + name);
}

// One frame (pattern) of a picture as a small grid of colours.
struct Frame {
  int width = 0, height = 0;
  std::vector<Rgb8> pixels;
  Rgb8 at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Frame&) const = default;
};

Frame frameOf(const DibPicture& p, const Entry& e, int index) {
  Frame f{e.patternWidth, e.patternHeight, {}};
  const int columns = p.width / e.patternWidth;
  const int ox = (index % columns) * e.patternWidth, oy = (index / columns) * e.patternHeight;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) f.pixels.push_back(p.at(ox + x, oy + y));
  return f;
}

bool isKeyFrame(const Frame& f, Rgb8 key) {
  for (const Rgb8& c : f.pixels)
    if (!(c == key)) return false;
  return true;
}

TEST(ArtAssets, StoredFormMatchesTheCatalogue) {
  for (const Entry& e : kCatalogue) {
    SCOPED_TRACE(e.name);
    const std::vector<uint8_t> b = readBytes(imagePath(e.name));
    ASSERT_GT(b.size(), 45u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 5), std::string("\x04TDIB"));
    EXPECT_EQ(le32(b, 5), 40u);
    EXPECT_EQ(static_cast<int>(le32(b, 9)), e.width);
    EXPECT_EQ(static_cast<int>(le32(b, 13)), e.height);  // positive: rows stored bottom-up
    EXPECT_EQ(b[17] | b[18] << 8, 1);
    EXPECT_EQ(b[19] | b[20] << 8, e.bitCount);
    size_t extra = 0;
    if (e.bitCount == 32) {
      EXPECT_EQ(le32(b, 21), 3u);
      EXPECT_EQ(le32(b, 45), 0xFF0000u);
      EXPECT_EQ(le32(b, 49), 0x00FF00u);
      EXPECT_EQ(le32(b, 53), 0x0000FFu);
      extra = 12;
    } else if (e.bitCount == 8) {
      EXPECT_EQ(le32(b, 37), 256u);
      extra = 1024;
    }
    const size_t stride = ((static_cast<size_t>(e.width) * e.bitCount + 31) / 32) * 4;
    EXPECT_EQ(b.size(), 45 + extra + stride * e.height);

    const DibPicture p = loadStoredPicture(imagePath(e.name));
    EXPECT_EQ(p.width % e.patternWidth, 0);
    EXPECT_EQ(p.height % e.patternHeight, 0);
  }
}

TEST(ArtAssets, TransparentColourSurroundsTheDrawingAndNeverPaintsIt) {
  for (const Entry& e : kCatalogue) {
    SCOPED_TRACE(e.name);
    const DibPicture p = loadStoredPicture(imagePath(e.name));
    const int frames = (p.width / e.patternWidth) * (p.height / e.patternHeight);
    int keyed = 0, drawn = 0;
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        const Rgb8 c = p.at(x, y);
        if (c == e.key) {
          ++keyed;
        } else {
          ++drawn;
          // On the 16-bit display such a pixel would vanish into the transparent colour.
          ASSERT_NE(pack565(c), pack565(e.key)) << "pixel " << x << "," << y;
        }
      }
    }
    EXPECT_GT(keyed, 0);
    EXPECT_GT(drawn, 0);
    // Every frame that draws anything starts from a transparent top-left corner.
    for (int f = 0; f < frames; ++f) {
      const Frame frame = frameOf(p, e, f);
      if (!isKeyFrame(frame, e.key)) {
        EXPECT_EQ(frame.at(0, 0), e.key) << "frame " << f;
      }
    }
  }
}

TEST(ArtAssets, WheelIsAMagentaRingAroundABlackHub) {
  const DibPicture p = loadStoredPicture(imagePath("kolo"));
  const Rgb8 key = entry("kolo").key;
  for (auto [x, y] : {std::pair{0, 0}, {14, 0}, {0, 13}, {14, 13}}) EXPECT_EQ(p.at(x, y), key);
  const Rgb8 hub = p.at(7, 8);
  EXPECT_LT(hub.r + hub.g + hub.b, 100);
  // Straight out from the hub to the left and right edges runs the ring: magenta, not the key.
  int magenta = 0;
  for (int x = 0; x < 15; ++x) {
    const Rgb8 c = p.at(x, 7);
    EXPECT_NE(c, key) << x;
    if (c.r > 140 && c.b > 140 && c.g < 60) ++magenta;
  }
  EXPECT_GE(magenta, 4);
}

TEST(ArtAssets, BoltsKeepAOnePixelMarginOfTheKey) {
  for (const char* name : {"pocisk", "pocisk1"}) {
    SCOPED_TRACE(name);
    const DibPicture p = loadStoredPicture(imagePath(name));
    const Rgb8 key = entry(name).key;
    for (int x = 0; x < p.width; ++x) {
      EXPECT_EQ(p.at(x, 0), key);
      EXPECT_EQ(p.at(x, p.height - 1), key);
    }
    for (int y = 0; y < p.height; ++y) {
      EXPECT_EQ(p.at(0, y), key);
      EXPECT_EQ(p.at(p.width - 1, y), key);
    }
    // The core along the middle is magenta, the frame around it green.
    const Rgb8 core = p.at(p.width / 2, p.height / 2);
    EXPECT_TRUE(core.r > 200 && core.b > 200 && core.g < 60);
    bool green = false;
    for (const Rgb8& c : p.pixels) green = green || (c.g > 150 && c.r < 100 && c.b < 100);
    EXPECT_TRUE(green);
  }
}

TEST(ArtAssets, FontCellsHoldTheirGlyphsAndTheRestAreEmpty) {
  const Entry& e = entry("font");
  const DibPicture p = loadStoredPicture(imagePath("font"));
  ASSERT_EQ(p.palette.size(), 256u);
  std::set<int> empty;
  for (int c = 26; c <= 30; ++c) empty.insert(c);
  for (int c = 44; c <= 58; ++c) empty.insert(c);
  for (int c = 64; c <= 79; ++c) empty.insert(c);
  std::vector<Frame> cells;
  for (int c = 0; c < 80; ++c) cells.push_back(frameOf(p, e, c));
  for (int c = 0; c < 80; ++c) {
    SCOPED_TRACE("cell " + std::to_string(c));
    if (empty.count(c)) {
      EXPECT_TRUE(isKeyFrame(cells[c], e.key));
      continue;
    }
    int yellow = 0, dark = 0;
    for (const Rgb8& px : cells[c].pixels) {
      if (px == e.key) continue;
      if (px.r > 200 && px.g > 120 && px.b < 120) ++yellow;
      if (px.r + px.g + px.b < 150) ++dark;
    }
    EXPECT_GT(yellow, 0);
    EXPECT_GT(dark, 0);  // the outline
  }
  // The letters and digits are all different; the repeated marks are the same glyph.
  for (int a = 0; a <= 40; ++a)
    for (int b = a + 1; b <= 40; ++b)
      if (!empty.count(a) && !empty.count(b)) {
        EXPECT_FALSE(cells[a] == cells[b]) << a << " and " << b;
      }
  EXPECT_EQ(cells[41], cells[42]);
  EXPECT_EQ(cells[41], cells[43]);
  for (int c = 60; c <= 63; ++c) EXPECT_EQ(cells[59], cells[c]);
  // The full stop is a small mark in the lower half of its cell.
  int top = 22, bottom = 0, left = 22, right = 0;
  for (int y = 0; y < 22; ++y) {
    for (int x = 0; x < 22; ++x) {
      if (cells[41].at(x, y) == e.key) continue;
      top = std::min(top, y), bottom = std::max(bottom, y);
      left = std::min(left, x), right = std::max(right, x);
    }
  }
  EXPECT_GE(top, 11);
  EXPECT_LE(right - left, 9);
}

// Splits the columns in which frames differ into runs: for the vehicle, one run per lamp.
std::vector<std::pair<int, int>> changingColumnRuns(const std::vector<Frame>& frames) {
  std::vector<bool> changes(frames[0].width, false);
  for (const Frame& f : frames)
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x)
        if (!(f.at(x, y) == frames[0].at(x, y))) changes[x] = true;
  std::vector<std::pair<int, int>> runs;
  for (int x = 0; x < frames[0].width; ++x) {
    if (!changes[x]) continue;
    if (runs.empty() || runs.back().second != x - 1)
      runs.push_back({x, x});
    else
      runs.back().second = x;
  }
  return runs;
}

// The rows in which frames differ, first and last.
std::pair<int, int> changingRows(const std::vector<Frame>& frames) {
  int top = frames[0].height, bottom = -1;
  for (const Frame& f : frames)
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x)
        if (!(f.at(x, y) == frames[0].at(x, y))) top = std::min(top, y), bottom = std::max(bottom, y);
  return {top, bottom};
}

Frame crop(const Frame& f, int x0, int x1, std::pair<int, int> rows) {
  Frame out{x1 - x0 + 1, rows.second - rows.first + 1, {}};
  for (int y = rows.first; y <= rows.second; ++y)
    for (int x = x0; x <= x1; ++x) out.pixels.push_back(f.at(x, y));
  return out;
}

TEST(ArtAssets, VehicleLampsRunOneSquareLeftPerFrame) {
  const Entry& e = entry("czolg");
  const DibPicture p = loadStoredPicture(imagePath("czolg"));
  std::vector<Frame> frames;
  for (int f = 0; f < 8; ++f) frames.push_back(frameOf(p, e, f));
  const auto lamps = changingColumnRuns(frames);
  const auto rows = changingRows(frames);
  ASSERT_EQ(lamps.size(), 8u);
  EXPECT_EQ(rows.second - rows.first + 1, lamps[0].second - lamps[0].first + 1) << "square lamps";
  EXPECT_GE(rows.first, e.patternHeight / 2) << "the lamps run along the bottom";
  const int width = lamps[0].second - lamps[0].first + 1;
  for (size_t k = 1; k < 8; ++k) {
    EXPECT_EQ(lamps[k].second - lamps[k].first + 1, width);
    EXPECT_EQ(lamps[k].first - lamps[k - 1].first, lamps[1].first - lamps[0].first);
  }
  for (int f = 0; f < 8; ++f) {
    const Frame& now = frames[f];
    const Frame& next = frames[(f + 1) % 8];
    for (int k = 0; k < 8; ++k) {
      const auto [a0, a1] = lamps[k];
      const auto [b0, b1] = lamps[(k + 1) % 8];
      EXPECT_EQ(crop(next, a0, a1, rows), crop(now, b0, b1, rows)) << "frame " << f << " lamp " << k;
    }
  }
  // Frame 0 shows, left to right: orange, pink, lavender, light cyan, green, yellow, magenta,
  // blue. Each lamp is judged by the colour of its lower right part.
  auto looks = [](Rgb8 c, int k) {
    switch (k) {
      case 0:
        return c.r > 200 && c.g > 80 && c.g < 180 && c.b < 60;  // orange
      case 1:
        return c.r > 200 && c.g > 80 && c.g < 170 && c.b > 120;  // pink
      case 2:
        return c.b > 200 && c.r > 140 && c.g > 110 && c.r < 230;  // lavender
      case 3:
        return c.g > 200 && c.b > 200 && c.r < 160;  // light cyan
      case 4:
        return c.g > 150 && c.r < 100 && c.b < 100;  // green
      case 5:
        return c.r > 200 && c.g > 200 && c.b < 80;  // yellow
      case 6:
        return c.r > 200 && c.b > 200 && c.g < 60;  // magenta
      default:
        return c.b > 200 && c.r < 100 && c.g < 120;  // blue
    }
  };
  const int lampBottom = e.patternHeight - 4;
  for (int k = 0; k < 8; ++k)
    EXPECT_TRUE(looks(frames[0].at(lamps[k].second - 1, lampBottom), k)) << "lamp " << k;
  // The light-blue nose points left, the dark-blue dome sits to the right of it.
  long noseX = 0, noseN = 0, domeX = 0, domeN = 0;
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < e.patternWidth; ++x) {
      const Rgb8 c = frames[0].at(x, y);
      if (c.b > 200 && c.g > 150 && c.r > 80 && c.r < 200) noseX += x, ++noseN;
      if (c.b > 120 && c.r < 60 && c.g < 80) domeX += x, ++domeN;
    }
  }
  ASSERT_GT(noseN, 0);
  ASSERT_GT(domeN, 0);
  EXPECT_LT(noseX / noseN + 15, domeX / domeN);
}

TEST(ArtAssets, SaucerFramesDifferOnlyAroundThePupils) {
  const Entry& e = entry("ufo");
  const DibPicture p = loadStoredPicture(imagePath("ufo"));
  std::vector<Frame> frames;
  for (int f = 0; f < 8; ++f) frames.push_back(frameOf(p, e, f));
  const auto runs = changingColumnRuns(frames);
  ASSERT_EQ(runs.size(), 2u) << "two eyes";
  // Plain names, not a structured binding: the lambda below uses them, which clang 14 refuses.
  const auto rows = changingRows(frames);
  const int top = rows.first, bottom = rows.second;
  for (const auto& [a, b] : runs) EXPECT_LE(b - a + 1, 9);
  EXPECT_LE(bottom - top + 1, 7);
  EXPECT_LT(bottom, e.patternHeight / 2 + 1);  // the eyes sit in the upper half
  // Both pupils look the same way, and the gaze moves on every frame. A pupil is found as the
  // centre of the blue pixels inside an eye.
  auto pupil = [&](const Frame& f, std::pair<int, int> run) {
    int sx = 0, sy = 0, n = 0;
    for (int y = top; y <= bottom; ++y)
      for (int x = run.first; x <= run.second; ++x)
        if (const Rgb8 c = f.at(x, y); c.b > 180 && c.r < 80 && c.g < 120) sx += x - run.first, sy += y, ++n;
    return std::array<int, 3>{sx, sy, n};
  };
  for (int f = 0; f < 8; ++f) {
    const auto left = pupil(frames[f], runs[0]), right = pupil(frames[f], runs[1]);
    ASSERT_GT(left[2], 0) << "frame " << f;
    EXPECT_EQ(left, right) << "frame " << f;
    EXPECT_FALSE(frames[f] == frames[(f + 1) % 8]) << "frame " << f;
  }
}

TEST(ArtAssets, MatrixFontHasTwentySevenTwoColourGlyphs) {
  const std::vector<uint8_t> font = readBytes(std::string(KV_TEST_DATA_DIR) + "/alfabet");
  ASSERT_EQ(font.size(), 8640u);
  for (int k = 0; k < 320; ++k) ASSERT_EQ(font[k], 0) << "glyph 64 draws nothing";
  std::set<std::vector<uint8_t>> distinct;
  for (int g = 1; g < 27; ++g) {
    SCOPED_TRACE(std::string("glyph ") + static_cast<char>('@' + g));
    const std::vector<uint8_t> glyph(font.begin() + g * 320, font.begin() + (g + 1) * 320);
    int red = 0, yellow = 0;
    for (int k = 0; k < 320; ++k) {
      const uint8_t v = glyph[k];
      ASSERT_TRUE(v == 0 || v == 17 || v == 34) << "cell " << k + 1;
      red += v == 17;
      yellow += v == 34;
      // The last column stays empty, so neighbouring letters of a caption never run together.
      if (k % 16 == 15) {
        EXPECT_EQ(v, 0) << "row " << k / 16 + 1;
      }
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(yellow, 10);
    distinct.insert(glyph);
  }
  EXPECT_EQ(distinct.size(), 26u);
}

}  // namespace
}  // namespace kv
