// Direct pixel access: colour packing in both 16-bit layouts, the bounds of every write and read,
// the lines of the ground and the captions, and what happens when a lock is refused or missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

#include "gfx/dd_surface.h"
#include "gfx/turbopixels.h"
#include "platform/components/component_errors.h"

namespace kv {
namespace {

using Points = std::set<std::pair<int, int>>;

class PixelLayerTest : public ::testing::Test {
 protected:
  // A surface whose rows are padded: 13 pixels wide, 16 to the pitch.
  void make(int w, int h, PixelLayout layout = PixelLayout::Rgb565) {
    UnlockSurface();
    ASSERT_TRUE(surface.Create(w, h, layout));
  }
  void TearDown() override { UnlockSurface(); }

  // Every pixel that differs from 0, padding included (each row up to the pitch).
  Points written() const {
    Points p;
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.PitchPixels(); ++x)
        if (surface.Row(y)[x] != 0) p.insert({x, y});
    return p;
  }
  Points lineOn(int w, int h, int x1, int y1, int x2, int y2) {
    make(w, h);
    EXPECT_TRUE(LockSurface(surface));
    DrawLine(x1, y1, x2, y2, 255, 255, 255);
    UnlockSurface();
    return written();
  }

  TDirectDrawSurface surface;
};

// ---- colours ----

struct Colour {
  uint32_t packed;
  uint8_t r, g, b;
  uint16_t p565, p555;
};
const Colour kTable[] = {
    {0x000000, 0, 0, 0, 0x0000, 0x0000},   {0xFFFFFF, 255, 255, 255, 0xFFFF, 0x7FFF},
    {0x0000FF, 255, 0, 0, 0xF800, 0x7C00}, {0x00FFFF, 255, 255, 0, 0xFFE0, 0x7FE0},
    {0x03565E, 94, 86, 3, 0x5AA0, 0x2D40},  // the ground
};

TEST_F(PixelLayerTest, ColoursPackIntoBothLayouts) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    make(8, 8, layout);
    ASSERT_TRUE(LockSurface(surface));
    for (const Colour& c : kTable) {
      const uint16_t want = layout == PixelLayout::Rgb565 ? c.p565 : c.p555;
      PutPixel(1, 1, c.packed);
      PutPixelRGB(2, 2, c.r, c.g, c.b);
      EXPECT_EQ(GetPixel(1, 1), want) << std::hex << c.packed;
      EXPECT_EQ(GetPixel(2, 2), want) << std::hex << c.packed;
      // The top byte of a packed colour is not part of it.
      PutPixel(3, 3, c.packed | 0xA5000000u);
      EXPECT_EQ(GetPixel(3, 3), want) << std::hex << c.packed;
    }
    UnlockSurface();
  }
}

TEST_F(PixelLayerTest, PackingTruncatesEachChannel) {
  make(4, 1);
  ASSERT_TRUE(LockSurface(surface));
  PutPixelRGB(0, 0, 7, 3, 7);  // below one step of every channel
  EXPECT_EQ(GetPixel(0, 0), 0u);
  PutPixelRGB(1, 0, 8, 4, 8);  // exactly one step
  EXPECT_EQ(GetPixel(1, 0), (1u << 11) | (1u << 5) | 1u);
  PutPixel(2, 0, 0x0F0F0F);
  EXPECT_EQ(GetPixel(2, 0), (1u << 11) | (3u << 5) | 1u);
  UnlockSurface();
  make(4, 1, PixelLayout::Rgb555);
  ASSERT_TRUE(LockSurface(surface));
  PutPixelRGB(0, 0, 8, 7, 8);  // 5-5-5 drops three bits of green
  EXPECT_EQ(GetPixel(0, 0), (1u << 10) | 1u);
  PutPixel(1, 0, 0x080808);
  EXPECT_EQ(GetPixel(1, 0), (1u << 10) | (1u << 5) | 1u);
}

TEST_F(PixelLayerTest, GetPixelReturnsTheStoredValueUnconverted) {
  make(4, 2, PixelLayout::Rgb555);
  surface.Row(1)[3] = 0x8001;  // a value no colour packs to in 5-5-5
  ASSERT_TRUE(LockSurface(surface));
  EXPECT_EQ(GetPixel(3, 1), 0x8001u);
}

// ---- bounds ----

TEST_F(PixelLayerTest, WritesStopAtTheEdgesAlsoWithAWidePitch) {
  make(13, 5);
  ASSERT_GT(surface.PitchPixels(), 13);
  ASSERT_TRUE(LockSurface(surface));
  PutPixel(12, 2, 0xFFFFFF);  // maxX: the last pixel of the row, nothing else
  EXPECT_EQ(written(), (Points{{12, 2}}));
  for (auto [x, y] : {std::pair{13, 2}, std::pair{-1, 2}, std::pair{0, -1}, std::pair{0, 5}, std::pair{15, 2},
                      std::pair{16, 1}, std::pair{-16, 3}}) {
    PutPixel(x, y, 0xFFFFFF);
    PutPixelRGB(x, y, 255, 255, 255);
  }
  EXPECT_EQ(written(), (Points{{12, 2}}));
  PutPixel(0, 4, 0xFFFFFF);  // maxY
  EXPECT_EQ(written(), (Points{{12, 2}, {0, 4}}));
}

TEST_F(PixelLayerTest, ReadsOutsideTheSurfaceAreBlack) {
  make(13, 5);
  surface.Fill(0xFFFF);
  ASSERT_TRUE(LockSurface(surface));
  EXPECT_EQ(GetPixel(12, 4), 0xFFFFu);
  EXPECT_EQ(GetPixel(0, 0), 0xFFFFu);
  for (auto [x, y] : {std::pair{13, 0}, std::pair{-1, 0}, std::pair{0, -1}, std::pair{0, 5}, std::pair{13, 4},
                      std::pair{INT32_MAX, 0}, std::pair{0, INT32_MIN}})
    EXPECT_EQ(GetPixel(x, y), 0u) << x << "," << y;
}

// ---- lines ----

TEST_F(PixelLayerTest, LinesOfOnePixelAndDiagonals) {
  EXPECT_EQ(lineOn(8, 8, 3, 4, 3, 4), (Points{{3, 4}}));
  EXPECT_EQ(lineOn(8, 8, 1, 1, 5, 5), (Points{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}));
  EXPECT_EQ(lineOn(8, 8, 5, 1, 1, 5), (Points{{5, 1}, {4, 2}, {3, 3}, {2, 4}, {1, 5}}));
  EXPECT_EQ(lineOn(8, 8, 0, 7, 7, 0).size(), 8u);
}

TEST_F(PixelLayerTest, ShallowAndSteepLinesStepAsBresenham) {
  const Points shallow{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}};
  EXPECT_EQ(lineOn(8, 8, 0, 0, 5, 2), shallow);
  EXPECT_EQ(lineOn(8, 8, 5, 2, 0, 0), shallow);
  const Points steep{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
  EXPECT_EQ(lineOn(8, 8, 0, 0, 2, 5), steep);
  EXPECT_EQ(lineOn(8, 8, 2, 5, 0, 0), steep);
  // A tie of the error term takes the diagonal step, so the pixels depend on the direction.
  EXPECT_EQ(lineOn(8, 8, 0, 0, 4, 2), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(lineOn(8, 8, 4, 2, 0, 0), (Points{{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}));
}

TEST_F(PixelLayerTest, LinesInAllEightOctantsHitBothEndsAndFollowTheLine) {
  const int cx = 20, cy = 20;
  const std::pair<int, int> ends[] = {{9, 4}, {4, 9}, {-4, 9}, {-9, 4}, {-9, -4}, {-4, -9}, {4, -9}, {9, -4}};
  for (auto [ex, ey] : ends) {
    const int x2 = cx + ex, y2 = cy + ey;
    const Points p = lineOn(41, 41, cx, cy, x2, y2);
    const int dx = std::abs(ex), dy = std::abs(ey);
    EXPECT_EQ(p.size(), static_cast<size_t>(std::max(dx, dy) + 1)) << ex << "," << ey;
    EXPECT_TRUE(p.count({cx, cy})) << ex << "," << ey;
    EXPECT_TRUE(p.count({x2, y2})) << ex << "," << ey;
    std::set<int> major;
    for (auto [x, y] : p) {
      // One pixel per step of the major axis, each within half a pixel of the true line.
      major.insert(dx >= dy ? x : y);
      const double t = dx >= dy ? double(x - cx) / ex : double(y - cy) / ey;
      const double minorOff = dx >= dy ? (y - cy) - t * ey : (x - cx) - t * ex;
      EXPECT_LE(std::fabs(minorOff), 0.5) << ex << "," << ey << " at " << x << "," << y;
    }
    EXPECT_EQ(major.size(), p.size()) << ex << "," << ey;
  }
}

TEST_F(PixelLayerTest, AGroundColumnFromBelowTheSurfaceIsClipped) {
  make(800, 566);
  ASSERT_TRUE(LockSurface(surface));
  DrawLine(17, 600, 17, 300, 94, 86, 3);
  UnlockSurface();
  const Points p = written();
  ASSERT_EQ(p.size(), 266u);  // rows 300 to 565
  EXPECT_EQ(p.begin()->second, 300);
  EXPECT_EQ(p.rbegin()->second, 565);
  for (auto [x, y] : p) EXPECT_EQ(x, 17);
  EXPECT_EQ(surface.Pixel(17, 565), 0x5AA0);
  // A line wholly outside draws nothing.
  ASSERT_TRUE(LockSurface(surface));
  DrawLine(-5, -5, -40, -90, 255, 255, 255);
  DrawLine(800, 0, 900, 565, 255, 255, 255);
  UnlockSurface();
  EXPECT_EQ(written().size(), 266u);
}

TEST_F(PixelLayerTest, LinesTakeTheLockedSurfacesLayout) {
  make(4, 4, PixelLayout::Rgb555);
  ASSERT_TRUE(LockSurface(surface));
  DrawLine(0, 0, 3, 0, 94, 86, 3);
  UnlockSurface();
  for (int x = 0; x < 4; ++x) EXPECT_EQ(surface.Pixel(x, 0), 0x2D40);
}

// ---- locks ----

TEST_F(PixelLayerTest, ASurfaceNeverMadeCannotBeLocked) {
  TDirectDrawSurface none;
  try {
    LockSurface(none);
    ADD_FAILURE() << "no exception";
  } catch (const EDirectDrawSurfaceError& e) {
    EXPECT_STREQ(e.what(), "IDirectDrawSurface4 not made");
  }
  PutPixel(0, 0, 0xFFFFFF);  // nothing locked: nothing to write to
  EXPECT_EQ(GetPixel(0, 0), 0u);
  UnlockSurface();
}

TEST_F(PixelLayerTest, AfterARefusedLockEveryWriteIsIgnored) {
  // A first surface locked and unlocked, so a stale address exists.
  TDirectDrawSurface first;
  ASSERT_TRUE(first.Create(16, 16, PixelLayout::Rgb565));
  ASSERT_TRUE(LockSurface(first));
  PutPixel(0, 0, 0xFFFFFF);
  UnlockSurface();

  make(16, 16);
  surface.SetRefuseLocks(true);
  bool result = true;
  EXPECT_NO_THROW(result = LockSurface(surface));
  EXPECT_FALSE(result);
  PutPixel(1, 1, 0xFFFFFF);
  PutPixelRGB(2, 2, 255, 255, 255);
  DrawLine(0, 5, 15, 5, 255, 255, 255);
  EXPECT_EQ(GetPixel(0, 0), 0u);
  EXPECT_NO_THROW(UnlockSurface());
  EXPECT_TRUE(written().empty());
  int firstWritten = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) firstWritten += first.Pixel(x, y) != 0;
  EXPECT_EQ(firstWritten, 1);

  surface.SetRefuseLocks(false);
  EXPECT_TRUE(LockSurface(surface));
  PutPixel(1, 1, 0xFFFFFF);
  UnlockSurface();
  EXPECT_EQ(written(), (Points{{1, 1}}));
}

TEST_F(PixelLayerTest, UnlockingEndsWritingAndTwiceIsHarmless) {
  make(4, 4);
  ASSERT_TRUE(LockSurface(surface));
  EXPECT_TRUE(surface.Locked());
  UnlockSurface();
  EXPECT_FALSE(surface.Locked());
  UnlockSurface();
  PutPixel(1, 1, 0xFFFFFF);
  EXPECT_TRUE(written().empty());
  // The surface can be locked again, and a held lock refuses a second one.
  ASSERT_TRUE(LockSurface(surface));
  SurfaceLockDesc desc;
  EXPECT_FALSE(surface.Lock(desc));
}

TEST_F(PixelLayerTest, TheScreenSurfaceHasNoPixelsToLock) {
  TDirectDrawSurface primary;
  primary.CreatePrimary(800, 600, PixelLayout::Rgb565);
  EXPECT_FALSE(LockSurface(primary));
  PutPixel(0, 0, 0xFFFFFF);
  EXPECT_EQ(GetPixel(0, 0), 0u);
}

}  // namespace
}  // namespace kv
