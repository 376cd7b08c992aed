#include <gtest/gtest.h>

#include <memory>

#include "actors/dx_sprite_engine.h"
#include "actors/image_sprite.h"
#include "gfx/dxdraw.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"

namespace kv {
namespace {

class DXSpriteEngineTest : public ::testing::Test {
 protected:
  DXSpriteEngineTest() : video(clock, 60), display(std::make_unique<TDXDraw>(video)) {
    display->SetBounds(0, 0, 800, 566);
  }
  // A sprite on the surface that counts its draws.
  TImageSprite* addCountedSprite() {
    auto* s = new TImageSprite(sprites.Engine());
    s->Width = 10;
    s->Height = 10;
    s->OnDraw = [this](TSprite&) { ++draws; };
    return s;
  }

  VirtualClock clock;
  VirtualDisplay video;
  std::unique_ptr<TDXDraw> display;
  TDXSpriteEngine sprites;
  int draws = 0;
};

TEST_F(DXSpriteEngineTest, TheSurfaceFollowsTheDisplay) {
  TSpriteEngine& engine = *sprites.Engine();
  sprites.SetDXDraw(display.get());
  EXPECT_EQ(engine.Surface(), nullptr);  // not initialised yet

  display->Initialize();
  ASSERT_NE(display->Surface(), nullptr);
  EXPECT_EQ(engine.Surface(), display->Surface());
  EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 800, 566}));

  display->Finalize();
  EXPECT_EQ(engine.Surface(), nullptr);
  EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 800, 566}));

  // Joining an initialised display takes its surface at once; leaving it gives it up.
  display->Initialize();
  sprites.SetDXDraw(nullptr);
  EXPECT_EQ(engine.Surface(), nullptr);
  sprites.SetDXDraw(display.get());
  EXPECT_EQ(engine.Surface(), display->Surface());

  // A display that goes away unlinks itself.
  display.reset();
  EXPECT_EQ(sprites.DXDraw(), nullptr);
  EXPECT_EQ(engine.Surface(), nullptr);
}

TEST_F(DXSpriteEngineTest, DrawNeedsAnInitialisedDisplayMoveDoesNot) {
  int moves = 0;
  addCountedSprite()->OnMove = [&moves](TSprite&, int32_t&) { ++moves; };
  sprites.Move(1);
  sprites.Draw();
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(draws, 0);  // no display

  sprites.SetDXDraw(display.get());
  sprites.Draw();
  EXPECT_EQ(draws, 0);  // not initialised

  display->Initialize();
  sprites.Draw();
  EXPECT_EQ(draws, 1);
  EXPECT_EQ(sprites.Engine()->DrawCount(), 1);
}

TEST(DXSpriteEngineLifetime, TheComponentLeavesTheDisplayAndFreesItsSprites) {
  VirtualClock clock;
  VirtualDisplay video(clock, 60);
  TDXDraw display(video);
  display.Initialize();
  int destroyed = 0;
  struct Counted : TSprite {
    Counted(TSprite* parent, int& n) : TSprite(parent), n_(n) {}
    ~Counted() override { ++n_; }
    int& n_;
  };
  {
    TDXSpriteEngine sprites;
    sprites.SetDXDraw(&display);
    new Counted(sprites.Engine(), destroyed);
    new Counted(sprites.Engine(), destroyed);
  }
  EXPECT_EQ(destroyed, 2);
  // A component that stayed registered would be called here after it was freed (caught by the
  // sanitizer build).
  display.Finalize();
  EXPECT_FALSE(display.Initialized());
}

}  // namespace
}  // namespace kv
