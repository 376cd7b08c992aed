// The fast drawing paths against the plain pixel-by-pixel ones, on random surfaces, pictures, keys,
// rectangles and lines in both pixel layouts: the fill, the colour-keyed copy (of whole patterns
// and of any rectangle, also after its picture has changed), straight and slanted lines, the
// ground's columns, and the per-tick moves of the ground and sky;
// and the quick rounding of a double against the long double one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "gfx/dd_surface.h"
#include "gfx/turbopixels.h"
#include "platform/support/rounding.h"
#include "state/game_state.h"
#include "state/terrain.h"

namespace kv {
namespace {

using Pixels = std::vector<uint16_t>;  // a surface's memory, padding included

Pixels memoryOf(const TDirectDrawSurface& s) {
  Pixels p;
  for (int32_t y = 0; y < s.Height(); ++y) p.insert(p.end(), s.Row(y), s.Row(y) + s.PitchPixels());
  return p;
}

PixelLayout anyLayout(std::mt19937& rng) {
  return rng() % 2 ? PixelLayout::Rgb565 : PixelLayout::Rgb555;
}

// Random pixels, padding too, from a few values so that pictures have runs and single dots.
void scribble(TDirectDrawSurface& s, std::mt19937& rng, const std::vector<uint16_t>& values) {
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.PitchPixels(); ++x) s.Row(y)[x] = values[rng() % values.size()];
}

TEST(FastPathsTest, FillSetsEveryPixelOfEveryRowAndLeavesThePaddingAsItWas) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    TDirectDrawSurface s;
    const int32_t w = round == 0 ? 800 : 1 + static_cast<int32_t>(rng() % 90);
    const int32_t h = round == 0 ? 566 : 1 + static_cast<int32_t>(rng() % 40);
    ASSERT_TRUE(s.Create(w, h, anyLayout(rng)));
    scribble(s, rng, {0x1234, 0xFFFF, 0x0001, 0xABCD});
    // Both bytes equal (0 among them) and not; only the low 16 bits of the value count.
    const uint32_t value = rng() % 3 == 0 ? 0x0101u * (rng() % 256) : rng();
    Pixels expected = memoryOf(s);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) expected[static_cast<size_t>(y) * s.PitchPixels() + x] = value & 0xFFFF;
    s.Fill(value);
    ASSERT_EQ(memoryOf(s), expected) << w << "x" << h << " value " << value;
  }
}

// The keyed copy the plain way: every pixel of the rectangle that is not the key.
void keyedCopyByPixel(Pixels& dest, int32_t destPitch, int32_t x, int32_t y, const TDirectDrawSurface& src,
                      const TRect& r) {
  for (int32_t row = 0; row < r.height(); ++row)
    for (int32_t i = 0; i < r.width(); ++i) {
      const uint16_t p = src.Pixel(r.Left + i, r.Top + row);
      if (p != src.ColorKey()) dest[static_cast<size_t>(y + row) * destPitch + x + i] = p;
    }
}

TEST(FastPathsTest, KeyedCopyMatchesThePixelByPixelCopyAndFollowsChangesToItsPicture) {
  std::mt19937 rng(23);
  for (int round = 0; round < 300; ++round) {
    const PixelLayout layout = anyLayout(rng);
    const uint16_t key = static_cast<uint16_t>(rng());
    TDirectDrawSurface picture, screen;
    // Up to 500 wide, so a narrow window can lie far into a wide row (a glyph of the font).
    ASSERT_TRUE(
        picture.Create(1 + static_cast<int32_t>(rng() % 500), 1 + static_cast<int32_t>(rng() % 30), layout));
    ASSERT_TRUE(
        screen.Create(1 + static_cast<int32_t>(rng() % 120), 1 + static_cast<int32_t>(rng() % 40), layout));
    const auto other = static_cast<uint16_t>(key ^ (1u + rng() % 0xFFFF));
    // Mostly key with scattered dots, or mostly opaque with holes.
    if (rng() % 2) {
      scribble(picture, rng, {key, key, key, key, other, static_cast<uint16_t>(other + 1)});
    } else {
      scribble(picture, rng,
               {key, other, static_cast<uint16_t>(other ^ 0x0F0F), static_cast<uint16_t>(key + 1)});
    }
    scribble(screen, rng, {0, 0x5AA0, 0x2D40});
    picture.SetColorKey(key);
    // Patterns in a grid (as an image-list entry cuts its picture), which keyed copies of a whole
    // pattern take from their lists.
    std::vector<TRect> patterns;
    const int32_t pw = 1 + static_cast<int32_t>(rng() % picture.Width());
    const int32_t ph = 1 + static_cast<int32_t>(rng() % picture.Height());
    for (int32_t top = 0; top + ph <= picture.Height(); top += ph)
      for (int32_t left = 0; left + pw <= picture.Width(); left += pw)
        patterns.push_back({left, top, left + pw, top + ph});
    picture.SetKeyedPatterns(patterns);

    for (int copy = 0; copy < 6; ++copy) {
      // A change to the picture between copies must show in the next copy.
      switch (copy) {
        case 2:
          picture.Row(static_cast<int32_t>(rng() % picture.Height()))[rng() % picture.Width()] = other;
          break;
        case 3: {
          SurfaceLockDesc d;
          ASSERT_TRUE(picture.Lock(d));
          reinterpret_cast<uint16_t*>(d.bits)[0] = key;
          picture.Unlock();
          break;
        }
        case 4: {
          TDirectDrawSurface stamp;
          ASSERT_TRUE(stamp.Create(3, 3, layout));
          stamp.Fill(0x4321);
          picture.BltFast(0, 0, stamp,
                          TRect{0, 0, std::min(3, picture.Width()), std::min(3, picture.Height())}, false);
          break;
        }
        case 5:
          picture.SetColorKey(other);  // a new key turns the old key pixels opaque
          break;
        default:
          break;
      }
      const int32_t left = static_cast<int32_t>(rng() % picture.Width());
      const int32_t top = static_cast<int32_t>(rng() % picture.Height());
      const int32_t w = 1 + static_cast<int32_t>(rng() % std::min(picture.Width() - left, screen.Width()));
      const int32_t h = 1 + static_cast<int32_t>(rng() % std::min(picture.Height() - top, screen.Height()));
      TRect r{left, top, left + w, top + h};
      const TRect& pattern = patterns[rng() % patterns.size()];
      if (rng() % 2 && pattern.width() <= screen.Width() && pattern.height() <= screen.Height()) r = pattern;
      const int32_t x = static_cast<int32_t>(rng() % (screen.Width() - r.width() + 1));
      const int32_t y = static_cast<int32_t>(rng() % (screen.Height() - r.height() + 1));
      Pixels expected = memoryOf(screen);
      keyedCopyByPixel(expected, screen.PitchPixels(), x, y, picture, r);
      ASSERT_TRUE(screen.BltFast(x, y, picture, r, true));
      ASSERT_EQ(memoryOf(screen), expected) << "round " << round << " copy " << copy;
    }
  }
}

// Bresenham as the pixel layer describes it, one bounds-tested pixel at a time.
void lineByPixel(Pixels& p, int32_t w, int32_t h, int32_t pitch, int32_t x1, int32_t y1, int32_t x2,
                 int32_t y2, uint16_t pixel) {
  const int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  const int32_t sx = x1 > x2 ? -1 : 1, sy = y1 > y2 ? -1 : 1;
  const bool xMajor = dy <= dx;
  const int32_t n = (xMajor ? dx : dy) + 1;
  int32_t d = xMajor ? 2 * dy - dx : 2 * dx - dy;
  const int32_t low = xMajor ? 2 * dy : 2 * dx, high = xMajor ? 2 * (dy - dx) : 2 * (dx - dy);
  int32_t x = x1, y = y1;
  for (int32_t i = 0; i < n; ++i) {
    if (x >= 0 && x < w && y >= 0 && y < h) p[static_cast<size_t>(y) * pitch + x] = pixel;
    if (d < 0) {
      d += low;
      (xMajor ? x : y) += xMajor ? sx : sy;
    } else {
      d += high;
      x += sx;
      y += sy;
    }
  }
}

TEST(FastPathsTest, LinesMatchThePixelByPixelLineInBothLayouts) {
  std::mt19937 rng(37);
  for (int round = 0; round < 400; ++round) {
    const PixelLayout layout = anyLayout(rng);
    TDirectDrawSurface s;
    const int32_t w = 1 + static_cast<int32_t>(rng() % 60), h = 1 + static_cast<int32_t>(rng() % 60);
    ASSERT_TRUE(s.Create(w, h, layout));
    scribble(s, rng, {0, 0x7FFF});
    auto coordinate = [&](int32_t size) { return static_cast<int32_t>(rng() % (3 * size + 20)) - size - 10; };
    int32_t x1 = coordinate(w), y1 = coordinate(h), x2 = coordinate(w), y2 = coordinate(h);
    const auto r = static_cast<uint8_t>(rng()), g = static_cast<uint8_t>(rng()),
               b = static_cast<uint8_t>(rng());
    const int32_t is555 = layout == PixelLayout::Rgb555 ? 1 : 0;
    const auto pixel =
        static_cast<uint16_t>(((r >> 3) << (11 - is555)) | ((g >> (2 + is555)) << 5) | (b >> 3));
    Pixels expected = memoryOf(s);
    if (round % 5 == 4) {
      // The ground: columns side by side from one row to their own ends, some off the surface.
      std::vector<int32_t> ends(static_cast<size_t>(1 + rng() % (w + 20)));
      for (int32_t& end : ends) end = coordinate(h);
      for (size_t k = 0; k < ends.size(); ++k)
        lineByPixel(expected, w, h, s.PitchPixels(), x1 + static_cast<int32_t>(k), y1,
                    x1 + static_cast<int32_t>(k), ends[k], pixel);
      ASSERT_TRUE(LockSurface(s));
      DrawColumnLines(x1, y1, ends.data(), static_cast<int32_t>(ends.size()), r, g, b);
      UnlockSurface();
      ASSERT_EQ(memoryOf(s), expected) << "columns from (" << x1 << "," << y1 << ") on " << w << "x" << h;
      continue;
    }
    // Most lines of the game are ground columns; rows and single points come up too.
    switch (round % 4) {
      case 0:
        x2 = x1;
        break;
      case 1:
        y2 = y1;
        break;
      case 2:
        if (round % 8 == 2) x2 = x1, y2 = y1;
        break;
      default:
        break;
    }
    lineByPixel(expected, w, h, s.PitchPixels(), x1, y1, x2, y2, pixel);
    ASSERT_TRUE(LockSurface(s));
    DrawLine(x1, y1, x2, y2, r, g, b);
    UnlockSurface();
    ASSERT_EQ(memoryOf(s), expected) << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ") on " << w
                                     << "x" << h;
  }
}

TEST(FastPathsTest, TheGroundAndSkyMoveOneColumnRightAsTheColumnByColumnCopyDoes) {
  std::mt19937 rng(41);
  resetGameState();
  for (const int32_t columns : {801, 2, 1, 819}) {
    game.columnCount = columns;
    for (int32_t i = 1; i <= kTerrainSlots; ++i) {
      game.terrain[i] = TerrainColumn{static_cast<int32_t>(rng() % 700), rng() % 2 == 0};
      game.stars[i] = static_cast<int32_t>(rng() % 600) - 1;
    }
    auto terrain = game.terrain;
    auto stars = game.stars;
    for (int32_t i = columns; i >= 2; --i) {
      terrain[i] = terrain[i - 1];
      stars[i] = stars[i - 1];
    }
    scrollTerrain();
    shiftStars();
    for (int32_t i = 1; i <= kTerrainSlots; ++i) {
      ASSERT_EQ(game.terrain[i].height, terrain[i].height) << columns << " columns, column " << i;
      ASSERT_EQ(game.terrain[i].hole, terrain[i].hole) << columns << " columns, column " << i;
      ASSERT_EQ(game.stars[i], stars[i]) << columns << " columns, column " << i;
    }
  }
  resetGameState();
}

TEST(FastPathsTest, RoundingADoubleMatchesTheLongDoubleRoundingHalvesToEven) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> wide(-3e9, 3e9), near(-900.0, 900.0);
  for (int i = 0; i < 200000; ++i) {
    double v = i % 3 == 0 ? wide(rng) : near(rng);
    if (i % 4 == 1) v = std::floor(v) + 0.5;  // halves, where the two ways could part
    if (i % 8 == 2) v = std::nextafter(std::floor(v) + 0.5, i % 16 == 2 ? 1e18 : -1e18);
    if (std::fabs(v) >= 2147483647.0) continue;
    ASSERT_EQ(round32(v), round32(static_cast<long double>(v))) << v;
  }
  for (double v : {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, -0.0, 4503599627370495.5 / 4503599627370496.0})
    EXPECT_EQ(round32(v), round32(static_cast<long double>(v))) << v;
}

}  // namespace
}  // namespace kv
