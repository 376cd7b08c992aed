#pragma once
// TSprite: one node of the sprite tree. A sprite is owned by its parent, moves and draws together
// with its children, and can scan the whole tree of its engine for sprites whose rectangles overlap
// its own. Actors are subclasses that override the move hook and, where they care about contacts,
// the collision hook.
//
// Creation is `new TSomeSprite(parent)`: the parent takes ownership. Deleting a sprite directly is
// allowed at any time outside the engine's own loops; it destroys the children and unlinks the
// sprite from its parent and its engine.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/rect.h"

namespace kv {

class TSprite;
class TSpriteEngine;
class TPictureCollectionItem;

// Handlers of the default hooks; each gets the sender first.
using TDrawEvent = std::function<void(TSprite& sender)>;
using TMoveEvent = std::function<void(TSprite& sender, int32_t& moveCount)>;
using TCollisionEvent = std::function<void(TSprite& sender, bool& done)>;
using TGetImage = std::function<void(TSprite& sender, TPictureCollectionItem*& image)>;

class TSprite {
 public:
  // Builds a sprite in the tree of `parent` (none: a free-standing sprite or a root engine).
  explicit TSprite(TSprite* parent);
  // Destroys the children (the last first), then unlinks the sprite from its parent and engine.
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  // Moves the sprite and its subtree, unless Moved is false.
  void Move(int32_t moveCount);
  // Draws the sprite, if it lies on the surface, and then its subtree in Z order, unless Visible is
  // false.
  void Draw();
  // One scan of the engine's tree with this sprite as the scanner; the number of sprites met.
  int32_t Collision();
  // Appends the sprite to the engine's dead list; it stays in the tree and keeps moving.
  void MarkDead();
  // Destroys all children, the last first.
  void Clear();
  int32_t Count() const { return static_cast<int32_t>(childList_.size()); }
  // The child at `index` in creation order; ESpriteError without children, EListError out of range.
  TSprite* Child(int32_t index) const;

  double WorldX() const;
  double WorldY() const;

  TSpriteEngine* Engine() const { return engine_; }
  TSprite* Parent() const { return parent_; }
  bool IsDead() const { return isDead_; }
  // The children in drawing order (ascending Z; equal Z newest first).
  const std::vector<TSprite*>& DrawList() const { return drawList_; }

  int32_t Z() const { return z_; }
  // Re-sorts the sprite among its siblings.
  void SetZ(int32_t z);

  // Half-open: Left = Round(WorldX), Top = Round(WorldY), Width by Height (halves to even).
  virtual TRect GetBoundsRect();

 private:
  // Declared here so that the fields keep their order; the engine and the tree fields are
  // written only by the tree operations.
  TSpriteEngine* engine_ = nullptr;
  TSprite* parent_ = nullptr;
  std::vector<TSprite*> childList_;  // owned; creation order
  bool isDead_ = false;
  std::vector<TSprite*> drawList_;  // the same children sorted by Z

 public:
  bool Collisioned = true;  // met by scans and allowed to scan
  bool Moved = true;        // moved with its subtree
  bool Visible = true;      // drawn with its subtree
  double X = 0, Y = 0;      // top-left corner relative to the parent

 private:
  int32_t z_ = 0;

 public:
  int32_t Width = 0, Height = 0;
  std::string Caption;
  int32_t Tag = 0;
  TDrawEvent OnDraw;
  TMoveEvent OnMove;
  TCollisionEvent OnCollision;
  TGetImage OnGetImage;

 protected:
  // Reacts to touching `sprite` during this sprite's own scan. Default: OnCollision(sprite, done).
  virtual void DoCollision(TSprite* sprite, bool& done);
  // Draws the sprite. Default: OnDraw(this).
  virtual void DoDraw();
  // Advances the sprite by one step. Default: OnMove(this, a copy of moveCount).
  virtual void DoMove(int32_t moveCount);
  // A second opinion after the rectangles overlap. Default: true.
  virtual bool TestCollision(TSprite* sprite);

 private:
  friend class TSpriteEngine;

  void addChild(TSprite* child);
  void removeChild(TSprite* child);
  void insertIntoDrawList(TSprite* child);
  void collisionVisit(TSpriteEngine& engine);
};

}  // namespace kv
