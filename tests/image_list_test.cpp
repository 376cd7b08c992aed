#include <gtest/gtest.h>

#include <memory>

#include "gfx/dd_surface.h"
#include "gfx/image_list.h"
#include "gfx/turbopixels.h"
#include "image_test_support.h"
#include "platform/components/component_errors.h"

namespace kv {
namespace {

using test::DisplayRig;
using test::picture24;

constexpr uint16_t kUntouched = 0x1234;

// A picture whose every pixel has its own colour, so that a drawn pixel tells where it came from.
Rgb8 signature(int x, int y) {
  return Rgb8{uint8_t(x * 8), uint8_t(y * 4), 200};
}

struct ListRig : DisplayRig {
  explicit ListRig(PixelLayout layout = PixelLayout::Rgb565) : DisplayRig(layout) {}
  TPictureCollectionItem& add(const DibPicture& picture, int32_t pw, int32_t ph, uint32_t key = 0xFF00FF) {
    TPictureCollectionItem& item = list.Items().Add();
    item.Picture = picture;
    item.PatternWidth = pw;
    item.PatternHeight = ph;
    item.TransparentColor = key;
    return item;
  }
  TDXImageList list;
};

std::unique_ptr<TDirectDrawSurface> destination(int w, int h, PixelLayout layout) {
  auto s = std::make_unique<TDirectDrawSurface>();
  s->Create(w, h, layout);
  s->Fill(kUntouched);
  return s;
}

TEST(ImageList, EntriesHaveNoSurfacesUntilTheDisplayInitialisesAndLoseThemAtFinalize) {
  ListRig rig;
  TPictureCollectionItem& item = rig.add(picture24(12, 6, signature), 4, 3);
  rig.list.SetDXDraw(&rig.draw);
  EXPECT_FALSE(item.Initialized());
  EXPECT_EQ(item.PatternCount(), 0);
  EXPECT_EQ(item.Width(), 4);  // the derived sizes need no surfaces
  EXPECT_EQ(item.Height(), 3);

  rig.init();  // Initialize, then Restore: the entry is built
  EXPECT_TRUE(item.Initialized());
  EXPECT_EQ(item.PatternCount(), 6);
  EXPECT_EQ(rig.list.Items().DXDraw(), &rig.draw);
  ASSERT_NE(item.PatternSurface(5), nullptr);
  EXPECT_EQ(item.PatternSurface(5)->Layout(), PixelLayout::Rgb565);

  rig.draw.Finalize();
  EXPECT_FALSE(item.Initialized());
  EXPECT_EQ(item.PatternCount(), 0);
  EXPECT_EQ(item.SurfaceCount(), 0);
  EXPECT_EQ(rig.list.Items().DXDraw(), nullptr);
  auto dest = destination(20, 20, PixelLayout::Rgb565);
  item.Draw(dest.get(), 0, 0, 0);
  EXPECT_EQ(dest->Pixel(0, 0), kUntouched);
}

TEST(ImageList, AListAttachedToAnInitialisedDisplayIsBuiltAtOnceAndFollowsItsDisplay) {
  ListRig rig;
  rig.init();
  TPictureCollectionItem& item = rig.add(picture24(12, 6, signature), 0, 0);
  rig.list.SetDXDraw(&rig.draw);
  EXPECT_EQ(item.PatternCount(), 1);

  DisplayRig other;
  other.init();
  rig.list.SetDXDraw(&other.draw);  // the old display's Finalize releases, the new one builds
  EXPECT_EQ(rig.list.Items().DXDraw(), &other.draw);
  EXPECT_EQ(item.PatternCount(), 1);
  rig.list.SetDXDraw(nullptr);
  EXPECT_EQ(item.PatternCount(), 0);
  EXPECT_EQ(rig.list.Items().DXDraw(), nullptr);
}

TEST(ImageList, ADestroyedDisplayDetachesTheList) {
  TDXImageList list;
  {
    DisplayRig rig;
    rig.init();
    TPictureCollectionItem& item = list.Items().Add();
    item.Picture = picture24(3, 3, signature);
    list.SetDXDraw(&rig.draw);
    EXPECT_EQ(item.PatternCount(), 1);
  }
  EXPECT_EQ(list.DXDraw(), nullptr);
  EXPECT_EQ(list.Items()[0].PatternCount(), 0);
}

TEST(ImageList, InitialisingForADisplayThatIsNotInitialisedRaises) {
  DisplayRig rig;
  TPictureCollection c;
  c.Add().Picture = picture24(2, 2, signature);
  try {
    c.Initialize(rig.draw);
    FAIL();
  } catch (const EPictureCollectionError& e) {
    EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
  }
  EXPECT_FALSE(c[0].Initialized());
  c.Restore();
  EXPECT_EQ(c[0].PatternCount(), 0);
}

TEST(ImageList, LostSurfacesAreRebuiltFromThePictureWhenTheDisplayRestores) {
  ListRig rig;
  rig.init();
  TPictureCollectionItem& item = rig.add(picture24(4, 4, signature), 0, 0);
  rig.list.SetDXDraw(&rig.draw);
  const uint16_t before = item.PatternSurface(0)->Pixel(1, 1);
  item.Picture.pixels[5] = Rgb8{0, 255, 0};  // pixel (1, 1)

  rig.video.setRestoreFails(true);
  rig.video.loseSurfaces();
  EXPECT_FALSE(rig.draw.CanDraw());
  EXPECT_EQ(item.PatternSurface(0)->Pixel(1, 1), before);  // no Restore, no rebuild

  rig.video.setRestoreFails(false);
  EXPECT_TRUE(rig.draw.CanDraw());
  EXPECT_EQ(item.PatternSurface(0)->Pixel(1, 1), packColor(0x00FF00, 0));
}

// Draws pattern `index` at (x, y) and compares every destination pixel with a pixel-by-pixel model.
void expectDrawnAt(TPictureCollectionItem& item, TDirectDrawSurface& dest, int x, int y, int index) {
  dest.Fill(kUntouched);
  item.Draw(&dest, x, y, index);
  const TRect src = item.PatternRect(index);
  for (int dy = 0; dy < dest.Height(); ++dy) {
    for (int dx = 0; dx < dest.Width(); ++dx) {
      const int px = dx - x, py = dy - y;
      uint16_t want = kUntouched;
      if (px >= 0 && py >= 0 && px < src.width() && py < src.height())
        want = item.PatternSurface(index)->Pixel(src.Left + px, src.Top + py);
      ASSERT_EQ(dest.Pixel(dx, dy), want)
          << "pattern " << index << " at " << x << "," << y << ": pixel " << dx << "," << dy;
    }
  }
}

TEST(ImageList, DrawClipsAtAllFourEdgesShiftingTheSourceByTheCut) {
  ListRig rig;
  rig.init();
  TPictureCollectionItem& item = rig.add(picture24(12, 6, signature), 4, 3);
  rig.list.SetDXDraw(&rig.draw);
  item.Transparent = false;
  auto dest = destination(10, 7, PixelLayout::Rgb565);
  for (int index : {0, 4}) {
    for (int y = -4; y <= 8; ++y)
      for (int x = -5; x <= 11; ++x) expectDrawnAt(item, *dest, x, y, index);
  }
  // The pattern's own pixels, not its neighbours', arrive: pattern 4 is cell (1, 1) of the picture.
  dest->Fill(kUntouched);
  item.Draw(dest.get(), -2, -1, 4);
  EXPECT_EQ(dest->Pixel(0, 0), packColor(test::colorValue(signature(4 + 2, 3 + 1)), 0));
  EXPECT_EQ(dest->Pixel(1, 1), packColor(test::colorValue(signature(4 + 3, 3 + 2)), 0));
  EXPECT_EQ(dest->Pixel(2, 0), kUntouched);
}

TEST(ImageList, OutOfRangeIndicesAndFarPositionsDrawNothing) {
  ListRig rig;
  rig.init();
  TPictureCollectionItem& item = rig.add(picture24(12, 6, signature), 4, 3);
  rig.list.SetDXDraw(&rig.draw);
  auto dest = destination(10, 7, PixelLayout::Rgb565);
  for (int index : {-1, 6, 1000}) expectDrawnAt(item, *dest, 1, 1, index);
  const int32_t far[][2] = {{INT32_MIN, 0}, {0, INT32_MIN}, {INT32_MAX, 0}, {0, INT32_MAX}, {-4, 0},
                            {10, 0},        {11, 0},        {0, -3},        {0, 7},         {0, 8}};
  for (const auto& p : far) {
    dest->Fill(kUntouched);
    item.Draw(dest.get(), p[0], p[1], 0);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(dest->Pixel(x, y), kUntouched) << p[0] << "," << p[1];
  }
  item.Draw(nullptr, 0, 0, 0);
}

TEST(ImageList, WholePictureAndWideTiledEntriesDrawEveryPattern) {
  ListRig rig;
  rig.init();
  TPictureCollectionItem& whole = rig.add(picture24(7, 5, signature), 0, 0);
  // 3000 pixels wide in 100-pixel patterns: two surfaces.
  TPictureCollectionItem& wide = rig.add(picture24(3000, 2,
                                                   [](int x, int) {
                                                     return Rgb8{uint8_t(x), 0, 1};
                                                   }),
                                         100, 0);
  rig.list.SetDXDraw(&rig.draw);
  EXPECT_EQ(whole.PatternCount(), 1);
  EXPECT_EQ(whole.Width(), 7);
  EXPECT_EQ(whole.Height(), 5);
  EXPECT_EQ(wide.PatternCount(), 30);
  EXPECT_EQ(wide.SurfaceCount(), 2);
  auto dest = destination(9, 6, PixelLayout::Rgb565);
  expectDrawnAt(whole, *dest, 1, 1, 0);
  for (int index : {0, 20, 21, 29}) {
    dest->Fill(kUntouched);
    wide.Draw(dest.get(), 0, 0, index);
    EXPECT_EQ(dest->Pixel(3, 1), packColor(uint8_t(index * 100 + 3) | (1 << 16), 0)) << index;
  }
}

// The key (128, 128, 255) and colours next to it: blue one step down, green four up.
void checkColourKey(PixelLayout layout, bool lowGreenBitIsKey) {
  ListRig rig(layout);
  rig.init();
  const Rgb8 key{128, 128, 255}, nearBlue{128, 128, 247}, nearGreen{128, 132, 255}, other{10, 20, 30};
  const Rgb8 row[] = {key, nearBlue, nearGreen, other, key};
  TPictureCollectionItem& item =
      rig.add(picture24(5, 1, [&](int x, int) { return row[x]; }), 0, 0, test::colorValue(key));
  rig.list.SetDXDraw(&rig.draw);
  const int32_t is555 = layout == PixelLayout::Rgb555;
  EXPECT_EQ(item.PatternSurface(0)->ColorKey(), packColor(test::colorValue(key), is555));
  EXPECT_EQ(item.PatternSurface(0)->Pixel(0, 0), item.PatternSurface(0)->ColorKey());

  auto dest = destination(5, 1, layout);
  item.Draw(dest.get(), 0, 0, 0);
  EXPECT_EQ(dest->Pixel(0, 0), kUntouched);
  EXPECT_EQ(dest->Pixel(1, 0), packColor(test::colorValue(nearBlue), is555));
  // 132 and 128 differ below the five green bits of 5-5-5: there that colour is the key.
  EXPECT_EQ(dest->Pixel(2, 0), lowGreenBitIsKey ? kUntouched : packColor(test::colorValue(nearGreen), is555));
  EXPECT_EQ(dest->Pixel(3, 0), packColor(test::colorValue(other), is555));
  EXPECT_EQ(dest->Pixel(4, 0), kUntouched);

  item.Transparent = false;
  item.Draw(dest.get(), 0, 0, 0);
  EXPECT_EQ(dest->Pixel(0, 0), packColor(test::colorValue(key), is555));
}

TEST(ImageList, TransparentPixelsAreExactlyTheKeyIn565) {
  checkColourKey(PixelLayout::Rgb565, false);
}
TEST(ImageList, TransparentPixelsAreExactlyTheKeyIn555) {
  checkColourKey(PixelLayout::Rgb555, true);
}

TEST(ImageList, PalettedPicturesConvertThroughTheirPalette) {
  ListRig rig(PixelLayout::Rgb555);
  rig.init();
  DibPicture p;
  p.width = 2;
  p.height = 1;
  p.bitCount = 8;
  p.palette.assign(256, Rgb8{});
  p.palette[7] = Rgb8{255, 0, 255};
  p.palette[9] = Rgb8{255, 255, 0};
  p.indices = {7, 9};
  TPictureCollectionItem& item = rig.add(p, 0, 0, 0xFF00FF);
  rig.list.SetDXDraw(&rig.draw);
  auto dest = destination(2, 1, PixelLayout::Rgb555);
  item.Draw(dest.get(), 0, 0, 0);
  EXPECT_EQ(dest->Pixel(0, 0), kUntouched);
  EXPECT_EQ(dest->Pixel(1, 0), packColor(0x00FFFF, 1));
}

}  // namespace
}  // namespace kv
