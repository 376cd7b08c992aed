#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "actors/image_sprite.h"
#include "actors/sprite_engine.h"
#include "gfx/dd_surface.h"

namespace kv {
namespace {

TEST(ImageSprite, BoundsRoundHalvesToEven) {
  TSpriteEngine engine(nullptr);
  auto* s = new TImageSprite(&engine);
  s->Width = 83;
  s->Height = 23;
  const struct {
    double at;
    int32_t edge;
  } cases[] = {{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}, {516.5, 516}};
  for (const auto& c : cases) {
    s->X = c.at;
    s->Y = c.at;
    EXPECT_EQ(s->GetBoundsRect(), (TRect{c.edge, c.edge, c.edge + 83, c.edge + 23})) << c.at;
    EXPECT_EQ(s->DrawRect(), s->GetBoundsRect()) << c.at;  // no image: nothing to centre
  }
}

TEST(ImageSprite, ALoopedAnimationWrapsAfterItsLastFrame) {
  TSpriteEngine engine(nullptr);
  auto* body = new TImageSprite(&engine);
  body->AnimCount = 7;
  body->AnimLooped = true;
  body->AnimSpeed = 0.18;
  std::vector<int32_t> indices;
  for (int move = 1; move <= 39; ++move) {
    engine.Move(1);
    indices.push_back(body->ImageIndex());
    if (move == 37) {
      EXPECT_NEAR(body->AnimPos, 6.66, 1e-9);
    }
    if (move == 38) {
      EXPECT_NEAR(body->AnimPos, 6.84, 1e-9);
    }
  }
  EXPECT_EQ(indices[36], 7);
  EXPECT_EQ(indices[37], 7);
  EXPECT_NEAR(body->AnimPos, 0.02, 1e-9);
  EXPECT_EQ(indices[38], 0);
  // Every pattern of the eight showed; the position never left [0, 7).
  EXPECT_EQ(std::set<int32_t>(indices.begin(), indices.end()).size(), 8u);
  for (int move = 0; move < 1000; ++move) {
    body->Animate(1);
    ASSERT_GE(body->AnimPos, 0);
    ASSERT_LT(body->AnimPos, 7);
  }

  // Backwards, and far beyond 32 bits of frames.
  body->AnimPos = 0.5;
  body->AnimSpeed = -1;
  body->Animate(1);
  EXPECT_DOUBLE_EQ(body->AnimPos, 6.5);
  body->AnimPos = 0;
  body->AnimSpeed = 1e10;
  body->Animate(1);
  EXPECT_DOUBLE_EQ(body->AnimPos, 4);  // 1e10 - 1428571429 x 7 = -3, then + 7
  body->AnimCount = 0;
  body->Animate(1);
  EXPECT_EQ(body->AnimPos, 0);
}

TEST(ImageSprite, AnAnimationThatDoesNotLoopStopsAtItsEnds) {
  TImageSprite still(nullptr);
  still.AnimStart = 3;
  for (int i = 0; i < 5; ++i) still.Animate(1);
  EXPECT_EQ(still.AnimPos, 0);
  EXPECT_EQ(still.ImageIndex(), 3);

  TImageSprite once(nullptr);
  once.AnimCount = 4;
  once.AnimSpeed = 1.5;
  once.Animate(2);
  EXPECT_EQ(once.AnimPos, 3);
  EXPECT_EQ(once.AnimSpeed, 1.5);
  once.Animate(1);
  EXPECT_EQ(once.AnimPos, 3);  // 4.5 is past the last frame
  EXPECT_EQ(once.AnimSpeed, 0);
  once.AnimSpeed = -2.5;
  once.Animate(2);
  EXPECT_EQ(once.AnimPos, 0);
  EXPECT_EQ(once.AnimSpeed, 0);
}

TEST(ImageSprite, HandlersReplaceTheDefaultHooks) {
  TDirectDrawSurface surface;
  surface.Create(800, 566, PixelLayout::Rgb565);
  TSpriteEngine engine(nullptr);
  engine.SetSurface(&surface);
  auto* s = new TImageSprite(&engine);
  s->SetImage(nullptr);
  s->Width = 10;
  s->Height = 10;
  s->AnimCount = 7;
  s->AnimLooped = true;
  s->AnimSpeed = 0.5;
  std::vector<std::string> log;
  s->OnMove = [&log](TSprite& sender, int32_t& count) {
    log.push_back("move " + std::to_string(count) + (sender.Tag == 7 ? " tagged" : ""));
    count = 99;  // a copy: the caller's count is not touched
  };
  s->OnGetImage = [&log](TSprite&, TPictureCollectionItem*& image) {
    log.push_back(image ? "get image: set" : "get image: none");
  };
  s->OnDraw = [&log](TSprite&) { log.push_back("draw"); };
  s->Tag = 7;
  engine.Move(2);
  engine.Draw();
  EXPECT_EQ(log, (std::vector<std::string>{"move 2 tagged", "get image: none", "draw"}));
  EXPECT_EQ(s->AnimPos, 0);  // OnMove took the place of the animation step
  EXPECT_EQ(s->Width, 10);   // no image was supplied, so the size stays

  // Without handlers the sprite animates; with no image it draws nothing, and is still counted.
  s->OnMove = nullptr;
  s->OnDraw = nullptr;
  engine.Move(2);
  EXPECT_EQ(s->AnimPos, 1);
  engine.Draw();
  EXPECT_EQ(engine.DrawCount(), 1);
  s->SetImage(nullptr);
  EXPECT_EQ(s->Width, 0);
  EXPECT_EQ(s->Height, 0);
}

}  // namespace
}  // namespace kv
