#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/image_sprite.h"
#include "actors/sprite_engine.h"
#include "gfx/dd_surface.h"
#include "platform/components/component_errors.h"

namespace kv {
namespace {

// A root engine on an 800 x 566 surface whose sprites log their moves and draws by name.
class SpriteEngineTest : public ::testing::Test {
 protected:
  SpriteEngineTest() {
    surface.Create(800, 566, PixelLayout::Rgb565);
    engine.SetSurface(&surface);
  }

  TImageSprite* make(const std::string& name, TSprite* parent = nullptr) {
    auto* s = new TImageSprite(parent ? parent : &engine);
    s->Width = 10;
    s->Height = 10;
    s->OnDraw = [this, name](TSprite&) { log.push_back("draw " + name); };
    s->OnMove = [this, name](TSprite&, int32_t& count) {
      log.push_back("move " + name + std::to_string(count));
    };
    return s;
  }

  TDirectDrawSurface surface;
  TSpriteEngine engine{nullptr};
  std::vector<std::string> log;
};

TEST_F(SpriteEngineTest, DrawingOrderFollowsZThenNewestFirst) {
  make("a");
  make("b");
  engine.Draw();
  EXPECT_EQ(log, (std::vector<std::string>{"draw b", "draw a"}));  // a lies on top of b

  log.clear();
  engine.Clear();
  make("high")->SetZ(1);
  make("low");
  engine.Draw();
  EXPECT_EQ(log, (std::vector<std::string>{"draw low", "draw high"}));

  // Writing Z re-sorts: "high" drops below "low"; among equal Z a re-sorted sprite goes first.
  log.clear();
  engine.Child(0)->SetZ(-1);
  make("new");
  engine.Child(1)->SetZ(0);  // no change, no move
  engine.Child(0)->SetZ(0);
  engine.Draw();
  EXPECT_EQ(log, (std::vector<std::string>{"draw high", "draw new", "draw low"}));
  EXPECT_EQ(engine.DrawCount(), 3);
}

TEST_F(SpriteEngineTest, OnlySpritesOnTheSurfaceAreDrawnAndHiddenSubtreesCostNothing) {
  auto* edge = make("edge");
  edge->X = 800;  // starts just right of the surface
  auto* corner = make("corner");
  corner->X = -9.6;  // rounds to -10: the right edge touches x 0
  auto* inside = make("inside");
  inside->X = 790.4;  // rounds to 790: the last ten columns
  auto* hidden = make("hidden");
  make("child", hidden);
  hidden->Visible = false;
  engine.Draw();
  EXPECT_EQ(log, (std::vector<std::string>{"draw inside"}));
  EXPECT_EQ(engine.DrawCount(), 1);

  // A child is placed relative to its parent and drawn after it.
  log.clear();
  hidden->Visible = true;
  hidden->X = 5;
  engine.Child(3)->Child(0)->X = -14.6;  // world x -9.6 -> -10: off the surface
  engine.Draw();
  EXPECT_EQ(log, (std::vector<std::string>{"draw hidden", "draw inside"}));
  EXPECT_DOUBLE_EQ(hidden->Child(0)->WorldX(), -9.6);
}

TEST_F(SpriteEngineTest, MoveGoesInCreationOrderAndFrozenSubtreesStayPut) {
  auto* a = make("a");
  make("a.1", a);
  auto* b = make("b");
  make("b.1", b);
  engine.Move(1);
  EXPECT_EQ(log, (std::vector<std::string>{"move a1", "move a.11", "move b1", "move b.11"}));

  log.clear();
  a->Moved = false;
  engine.Move(3);
  EXPECT_EQ(log, (std::vector<std::string>{"move b3", "move b.13"}));
}

TEST_F(SpriteEngineTest, ChildReportsMissingListsAndIndicesOutOfRange) {
  auto* a = make("a");
  try {
    a->Child(0);
    FAIL() << "no exception";
  } catch (const ESpriteError& e) {
    EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (0)");
  }
  make("a.1", a);
  EXPECT_EQ(a->Child(0)->Parent(), a);
  try {
    a->Child(1);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
  EXPECT_THROW(a->Child(-1), EListError);
  // Once the last child is gone the lists are gone too.
  delete a->Child(0);
  EXPECT_THROW(a->Child(0), ESpriteError);
}

TEST_F(SpriteEngineTest, DestroyingUnlinksFromTreeCountsAndDeadList) {
  auto* a = make("a");
  auto* b = make("b");
  make("b.1", b);
  make("b.2", b);
  EXPECT_EQ(engine.SpriteCount(), 4);
  EXPECT_EQ(b->Child(0)->Engine(), &engine);
  b->Child(1)->MarkDead();
  a->MarkDead();
  a->MarkDead();  // once only
  ASSERT_EQ(engine.DeadList().size(), 2u);

  delete b;  // takes its children with it, and the dead child leaves the dead list
  EXPECT_EQ(engine.SpriteCount(), 1);
  EXPECT_EQ(engine.Count(), 1);
  EXPECT_EQ(engine.DeadList(), std::vector<TSprite*>{a});
  EXPECT_EQ(engine.DrawList(), std::vector<TSprite*>{a});

  delete a;
  EXPECT_EQ(engine.SpriteCount(), 0);
  EXPECT_TRUE(engine.DeadList().empty());
  engine.Draw();
  engine.Move(1);
  EXPECT_TRUE(log.empty());
}

TEST_F(SpriteEngineTest, TheLevelEndFreesEveryActorThroughItsReference) {
  TImageSprite* body = make("body");
  std::vector<TImageSprite*> wheels, trees, ufos, rocks;
  for (int i = 0; i < 6; ++i) wheels.push_back(make("wheel"));
  TImageSprite* forwardShot = make("forward");
  TImageSprite* upwardShot = make("upward");
  for (int i = 0; i < 5; ++i) trees.push_back(make("tree"));
  for (int i = 0; i < 5; ++i) ufos.push_back(make("ufo"));
  TImageSprite* bomb = make("bomb");
  for (int i = 0; i < 7; ++i) rocks.push_back(make("rock"));
  rocks[2]->MarkDead();
  rocks[5]->MarkDead();
  EXPECT_EQ(engine.SpriteCount(), 27);

  for (auto* s : wheels) delete s;
  for (auto* s : rocks) delete s;
  for (auto* s : trees) delete s;
  for (auto* s : ufos) delete s;
  for (TImageSprite* s : {body, forwardShot, upwardShot, bomb}) delete s;
  EXPECT_EQ(engine.SpriteCount(), 0);
  EXPECT_EQ(engine.Count(), 0);
  EXPECT_TRUE(engine.DrawList().empty());
  EXPECT_TRUE(engine.DeadList().empty());
}

TEST(SpriteEngineSurface, ASurfaceSetsTheRectangleAndNoneKeepsIt) {
  TSpriteEngine engine(nullptr);
  TDirectDrawSurface surface;
  surface.Create(320, 200, PixelLayout::Rgb565);
  engine.SetSurface(&surface);
  EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 320, 200}));
  EXPECT_EQ(engine.Width, 320);
  engine.SetSurface(nullptr);
  EXPECT_EQ(engine.Surface(), nullptr);
  EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 320, 200}));
  EXPECT_EQ(engine.Height, 200);
}

TEST(SpriteEngineLifetime, TheEngineDestroysSpritesStillInItsTree) {
  int destroyed = 0;
  struct Counted : TSprite {
    Counted(TSprite* parent, int& n) : TSprite(parent), n_(n) {}
    ~Counted() override { ++n_; }
    int& n_;
  };
  {
    TSpriteEngine engine(nullptr);
    auto* a = new Counted(&engine, destroyed);
    new Counted(a, destroyed);
    (new Counted(&engine, destroyed))->MarkDead();
  }
  EXPECT_EQ(destroyed, 3);
}

}  // namespace
}  // namespace kv
