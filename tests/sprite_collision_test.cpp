#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "actors/image_sprite.h"
#include "actors/sprite_engine.h"
#include "gfx/dd_surface.h"

namespace kv {
namespace {

// A sprite that records whom it met in its own scans, can react as an actor does, and on every
// move steps 10 pixels right and, if asked, scans.
class Scanner : public TImageSprite {
 public:
  Scanner(TSprite* parent, double x, double y, int32_t w, int32_t h) : TImageSprite(parent) {
    X = x;
    Y = y;
    Width = w;
    Height = h;
  }
  std::vector<TSprite*> met;
  std::function<void(Scanner&)> react;
  bool scanOnMove = false;
  int32_t lastScan = -1;

 protected:
  void DoCollision(TSprite* sprite, bool&) override {
    met.push_back(sprite);
    if (react) react(*this);
  }
  void DoMove(int32_t moveCount) override {
    TImageSprite::DoMove(moveCount);
    X += 10;
    if (scanOnMove) lastScan = Collision();
  }
};

class SpriteCollisionTest : public ::testing::Test {
 protected:
  Scanner* make(double x, double y, int32_t w = 10, int32_t h = 10, TSprite* parent = nullptr) {
    return new Scanner(parent ? parent : &engine, x, y, w, h);
  }
  TSpriteEngine engine{nullptr};
};

TEST_F(SpriteCollisionTest, SharedEdgesDoNotCollideOverlapsDo) {
  auto* a = make(0, 0);
  auto* right = make(10, 0);
  auto* below = make(0, 10);
  auto* diagonal = make(9, 9, 11, 11);
  EXPECT_EQ(a->Collision(), 1);
  EXPECT_EQ(a->met, std::vector<TSprite*>{diagonal});
  EXPECT_EQ(right->Collision(), 1);
  EXPECT_EQ(below->Collision(), 1);
  EXPECT_EQ(engine.CollisionSprite(), below);
  EXPECT_EQ(engine.CollisionRect(), (TRect{0, 10, 10, 20}));
  // The bounds round halves to even: 9.5 -> 10 leaves diagonal's (9,9)-(20,20) touching only.
  a->X = -0.5;
  a->Y = -0.5;
  EXPECT_EQ(a->GetBoundsRect(), (TRect{0, 0, 10, 10}));
  diagonal->X = 9.5;
  EXPECT_EQ(a->Collision(), 0);
}

TEST_F(SpriteCollisionTest, ScansFollowCollisionedNotVisibility) {
  auto* scanner = make(0, 0, 100, 100);
  auto* invisible = make(5, 5);
  invisible->Visible = false;
  auto* off = make(20, 20);
  off->Collisioned = false;
  make(0, 0, 10, 10, off);  // inside the scanner, but its parent hides it from scans
  auto* on = make(40, 40);
  auto* onChild = make(10, 10, 10, 10, on);
  EXPECT_EQ(scanner->Collision(), 3);
  EXPECT_EQ(scanner->met, (std::vector<TSprite*>{invisible, on, onChild}));

  // A sprite that is not collisionable does not scan and leaves the scan fields alone; neither
  // does a sprite outside any engine.
  EXPECT_EQ(off->Collision(), 0);
  EXPECT_EQ(engine.CollisionSprite(), scanner);
  EXPECT_EQ(engine.CollisionCount(), 3);
  Scanner loose(nullptr, 0, 0, 100, 100);
  EXPECT_EQ(loose.Collision(), 0);
}

TEST_F(SpriteCollisionTest, ClearingItsOwnCollisionedEndsOnlyTheDescent) {
  auto* scanner = make(0, 0, 100, 100);
  auto* first = make(10, 10);
  make(0, 0, 10, 10, first);
  auto* second = make(30, 30);
  make(0, 0, 10, 10, second);
  auto* third = make(50, 50);
  scanner->react = [](Scanner& s) { s.Collisioned = false; };
  EXPECT_EQ(scanner->Collision(), 3);
  EXPECT_EQ(scanner->met, (std::vector<TSprite*>{first, second, third}));
  EXPECT_TRUE(engine.CollisionDone());

  // Marking itself dead has the same effect.
  scanner->Collisioned = true;
  scanner->met.clear();
  scanner->react = [](Scanner& s) { s.MarkDead(); };
  EXPECT_EQ(scanner->Collision(), 3);
  EXPECT_EQ(scanner->met, (std::vector<TSprite*>{first, second, third}));
}

TEST_F(SpriteCollisionTest, ADeadSpriteMovesDrawsIsMetButDoesNotScan) {
  TDirectDrawSurface surface;
  surface.Create(800, 566, PixelLayout::Rgb565);
  engine.SetSurface(&surface);
  auto* dead = make(0, 0);
  auto* other = make(5, 0);  // both step 10 right: 15..25 against 10..20
  int draws = 0;
  dead->OnDraw = [&draws](TSprite&) { ++draws; };
  dead->MarkDead();
  engine.Move(1);
  engine.Draw();
  EXPECT_EQ(dead->X, 10);
  EXPECT_EQ(draws, 1);
  EXPECT_EQ(other->Collision(), 1);
  EXPECT_EQ(other->met, std::vector<TSprite*>{dead});
  EXPECT_EQ(dead->Collision(), 0);
  EXPECT_TRUE(dead->met.empty());
  EXPECT_EQ(engine.CollisionSprite(), other);
}

TEST_F(SpriteCollisionTest, AScanSeesEarlierSpritesMovedAndLaterOnesNot) {
  auto* before = make(12, 0);   // moves first: 22..32 at the scan, 12..22 if it had not moved
  auto* scanner = make(15, 0);  // 25..35 at the scan
  auto* after = make(30, 0);    // not moved yet: 30..40; it would be at 40..50 after its move
  scanner->scanOnMove = true;
  engine.Move(1);
  EXPECT_EQ(scanner->lastScan, 2);
  EXPECT_EQ(scanner->met, (std::vector<TSprite*>{before, after}));
}

}  // namespace
}  // namespace kv
