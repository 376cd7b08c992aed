// Image sprites drawn through real image-list entries on a real (headless) display.
#include <gtest/gtest.h>

#include "actors/dx_sprite_engine.h"
#include "actors/image_sprite.h"
#include "gfx/dxdraw.h"
#include "gfx/image_list.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"

namespace kv {
namespace {

constexpr Rgb8 kKey{255, 255, 255};
constexpr Rgb8 kRedPx{255, 0, 0};
constexpr Rgb8 kBluePx{0, 0, 255};

// A strip of `frames` patterns of w x h; pattern i is filled with blue except a red first column
// in row i, and a white (transparent) last row.
DibPicture strip(int w, int h, int frames) {
  DibPicture p;
  p.width = w * frames;
  p.height = h;
  p.bitCount = 24;
  p.pixels.assign(static_cast<size_t>(p.width) * h, kBluePx);
  for (int f = 0; f < frames; ++f) {
    p.pixels[static_cast<size_t>(f % h) * p.width + f * w] = kRedPx;
    for (int x = 0; x < w; ++x) p.pixels[static_cast<size_t>(h - 1) * p.width + f * w + x] = kKey;
  }
  return p;
}

class ImageSpriteDrawTest : public ::testing::Test {
 protected:
  ImageSpriteDrawTest() : video(clock, 60), display(video) {
    display.SetOptions(0);
    display.SetBounds(0, 0, 200, 100);
    sprites.SetDXDraw(&display);
    list.SetDXDraw(&display);
    TPictureCollectionItem& body = list.Items().Add();
    body.SetName("strip");
    body.Picture = strip(8, 5, 4);
    body.PatternWidth = 8;
    body.PatternHeight = 5;
    body.TransparentColor = 0xFFFFFF;
    TPictureCollectionItem& whole = list.Items().Add();
    whole.SetName("whole");
    whole.Picture = strip(15, 14, 1);
    whole.TransparentColor = 0xFFFFFF;
    display.Initialize();
    surface().Fill(0x1111);
  }
  TDirectDrawSurface& surface() { return *display.Surface(); }

  VirtualClock clock;
  VirtualDisplay video;
  TDXDraw display;
  TDXSpriteEngine sprites;
  TDXImageList list;
};

TEST_F(ImageSpriteDrawTest, SetImageTakesThePatternSizeOrTheWholePicture) {
  auto* a = new TImageSprite(sprites.Engine());
  a->SetImage(&list.Items()[0]);
  EXPECT_EQ(a->Width, 8);
  EXPECT_EQ(a->Height, 5);
  auto* b = new TImageSprite(sprites.Engine());
  b->SetImage(&list.Items()[1]);
  EXPECT_EQ(b->Width, 15);
  EXPECT_EQ(b->Height, 14);
  b->SetImage(nullptr);
  EXPECT_EQ(b->Width, 0);
}

TEST_F(ImageSpriteDrawTest, DrawsPatternImageIndexAtTheRoundedPositionWithTheKeyLeftOut) {
  auto* s = new TImageSprite(sprites.Engine());
  s->SetImage(&list.Items()[0]);
  s->AnimStart = 2;  // pattern 2: its red pixel is in row 2
  s->X = 20.5;       // rounds to 20
  s->Y = 30.5;       // rounds to 30
  sprites.Draw();
  EXPECT_EQ(surface().Pixel(20, 32), 0xF800);
  EXPECT_EQ(surface().Pixel(20, 30), 0x001F);
  EXPECT_EQ(surface().Pixel(27, 33), 0x001F);
  EXPECT_EQ(surface().Pixel(21, 34), 0x1111);  // the white row is transparent
  EXPECT_EQ(surface().Pixel(19, 30), 0x1111);
  EXPECT_EQ(surface().Pixel(28, 30), 0x1111);
}

TEST_F(ImageSpriteDrawTest, ASpriteLargerThanItsImageDrawsItCentred) {
  auto* s = new TImageSprite(sprites.Engine());
  s->SetImage(&list.Items()[0]);
  s->Width = 13;  // (13 - 8) div 2 = 2
  s->Height = 2;  // (2 - 5) div 2 = -1: truncated toward zero
  s->X = 50;
  s->Y = 50;
  EXPECT_EQ(s->DrawRect(), (TRect{52, 49, 65, 51}));
  sprites.Draw();
  EXPECT_EQ(surface().Pixel(52, 49), 0xF800);  // pattern 0's red pixel, row 0
}

TEST_F(ImageSpriteDrawTest, AnImageHandedOverOnDemandIsTakenAndDrawn) {
  auto* s = new TImageSprite(sprites.Engine());
  s->X = 100;
  s->Y = 10;
  s->Width = 15;
  s->Height = 14;
  int asked = 0;
  s->OnGetImage = [&](TSprite&, TPictureCollectionItem*& image) {
    ++asked;
    image = &list.Items()[1];
  };
  sprites.Draw();
  sprites.Draw();
  EXPECT_EQ(asked, 1);  // once taken, the image stays
  EXPECT_EQ(s->Image(), &list.Items()[1]);
  EXPECT_EQ(surface().Pixel(100, 10), 0xF800);
}

}  // namespace
}  // namespace kv
