#include <gtest/gtest.h>

#include <string>

#include "assets/catalogue.h"
#include "assets/embedded_assets.h"
#include "gfx/dd_surface.h"
#include "gfx/image_list.h"
#include "gfx/turbopixels.h"
#include "image_test_support.h"
#include "platform/components/wave_list.h"

namespace kv {
namespace {

struct Expected {
  const char* name;
  int width, height, bits, patternWidth, patternHeight, patterns;
  uint32_t key;
};

// The pictures as the game's logic relies on them.
constexpr Expected kImages[] = {
    {"kolo", 15, 14, 24, 15, 14, 1, 0xFF8080},  {"czolg", 664, 23, 32, 83, 23, 8, 0xFFFFFF},
    {"font", 440, 88, 8, 22, 22, 80, 0xFF00FF}, {"kamien", 35, 40, 24, 35, 40, 1, 0xFFFFFF},
    {"pocisk", 20, 8, 24, 20, 8, 1, 0x80FFFF},  {"drzewko", 166, 330, 24, 166, 330, 1, 0xFFFFFF},
    {"ufo", 664, 27, 32, 83, 27, 8, 0xFFFFFF},  {"pocisk1", 6, 16, 24, 6, 16, 1, 0x00FFFF},
    {"bomba", 11, 22, 24, 11, 22, 1, 0xFFFFFF},
};

TEST(Catalogue, TheNinePicturesLoadWithTheirSizesPatternsAndTransparentColours) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    test::DisplayRig rig(layout);
    TDXImageList list;
    list.SetDXDraw(&rig.draw);
    loadImages(list);
    rig.init();
    const int32_t is555 = layout == PixelLayout::Rgb555;
    ASSERT_EQ(list.Items().Count(), 9);
    for (int i = 0; i < 9; ++i) {
      const Expected& e = kImages[i];
      TPictureCollectionItem& item = list.Items()[i];
      SCOPED_TRACE(e.name);
      EXPECT_EQ(item.Name(), e.name);
      EXPECT_EQ(list.Items().IndexOf(e.name), i);
      EXPECT_EQ(item.Picture.width, e.width);
      EXPECT_EQ(item.Picture.height, e.height);
      EXPECT_EQ(item.Picture.bitCount, e.bits);
      EXPECT_EQ(item.Width(), e.patternWidth);
      EXPECT_EQ(item.Height(), e.patternHeight);
      EXPECT_EQ(item.PatternCount(), e.patterns);
      EXPECT_EQ(item.TransparentColor, e.key);
      EXPECT_TRUE(item.Transparent);
      EXPECT_FALSE(item.SystemMemory);
      EXPECT_EQ(item.PatternSurface(0)->ColorKey(), packColor(e.key, is555));
    }
    EXPECT_EQ(list.Items().IndexOf("FONT"), 2);
    EXPECT_EQ(list.Items()[2].PatternRect(31), (TRect{242, 22, 264, 44}));
    for (uint8_t b : list.Items().ColorTable) ASSERT_EQ(b, 0);
  }
}

TEST(Catalogue, EveryPicturePixelDrawsExceptThoseOfTheTransparentColour) {
  test::DisplayRig rig;
  rig.init();
  TDXImageList list;
  loadImages(list);
  list.SetDXDraw(&rig.draw);
  TDirectDrawSurface dest;
  dest.Create(664, 330, PixelLayout::Rgb565);
  for (int i = 0; i < list.Items().Count(); ++i) {
    TPictureCollectionItem& item = list.Items()[i];
    const uint16_t key = packColor(item.TransparentColor, 0);
    for (int p = 0; p < item.PatternCount(); ++p) {
      // Two backgrounds, so that a drawn pixel can never be mistaken for the background.
      for (uint16_t background : {uint16_t{0x0000}, uint16_t{0xFFFF}}) {
        dest.Fill(background);
        item.Draw(&dest, 0, 0, p);
        const TRect r = item.PatternRect(p);
        for (int y = 0; y < r.height(); ++y) {
          for (int x = 0; x < r.width(); ++x) {
            const uint16_t pixel = packColor(test::colorValue(item.Picture.at(r.Left + x, r.Top + y)), 0);
            ASSERT_EQ(dest.Pixel(x, y), pixel == key ? background : pixel)
                << item.Name() << " pattern " << p << " pixel " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(Catalogue, TheSixRecordingsHaveTheirFormatsByteCountsAndFlags) {
  struct Sound {
    const char* name;
    bool looped;
    uint32_t rate;
    uint16_t bits;
    size_t bytes;
  };
  constexpr Sound kSounds[] = {{"dziura", false, 11025, 8, 14336},     {"skok", false, 44100, 16, 8820},
                               {"normalnie", true, 44100, 16, 112798}, {"kamien", false, 11025, 8, 14336},
                               {"Trafiony", false, 44100, 16, 15290},  {"strzal", false, 22050, 16, 6890}};
  TDXWaveList list;
  loadSounds(list);
  ASSERT_EQ(list.Items().Count(), 6);
  for (int i = 0; i < 6; ++i) {
    const TWaveCollectionItem& item = list.Items()[i];
    SCOPED_TRACE(kSounds[i].name);
    EXPECT_EQ(item.Name(), kSounds[i].name);
    EXPECT_EQ(item.Looped(), kSounds[i].looped);
    EXPECT_EQ(item.MaxPlayingCount(), 0);
    EXPECT_EQ(item.Wave.format.formatTag, 1);
    EXPECT_EQ(item.Wave.format.channels, 1);
    EXPECT_EQ(item.Wave.format.samplesPerSec, kSounds[i].rate);
    EXPECT_EQ(item.Wave.format.bitsPerSample, kSounds[i].bits);
    EXPECT_EQ(item.Wave.data.size(), kSounds[i].bytes);
  }
  EXPECT_EQ(list.Items()[0].Wave.format, list.Items()[3].Wave.format);
  EXPECT_EQ(list.Items()[0].Wave.data, list.Items()[3].Wave.data);
  // Stored as two files, byte for byte the same.
  const EmbeddedAsset* hole = findEmbeddedAsset("sounds/dziura.wav");
  const EmbeddedAsset* rock = findEmbeddedAsset("sounds/kamien.wav");
  ASSERT_TRUE(hole && rock);
  EXPECT_EQ(std::vector<uint8_t>(hole->data, hole->data + hole->size),
            std::vector<uint8_t>(rock->data, rock->data + rock->size));
}

TEST(Catalogue, LoadingAgainReplacesTheEntries) {
  TDXImageList images;
  loadImages(images);
  loadImages(images);
  EXPECT_EQ(images.Items().Count(), 9);
  EXPECT_EQ(images.Items().IndexOf("bomba"), 8);
  TDXWaveList sounds;
  loadSounds(sounds);
  loadSounds(sounds);
  EXPECT_EQ(sounds.Items().Count(), 6);
  EXPECT_EQ(findEmbeddedAsset("images/nothing.tdib"), nullptr);
}

}  // namespace
}  // namespace kv
