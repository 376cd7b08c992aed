#pragma once
// TSpriteEngine: the root of a sprite tree. It counts the sprites of its tree, holds the state of
// the collision scan in progress, keeps the list of sprites marked dead and knows the surface the
// tree is drawn on.
#include <cstdint>
#include <vector>

#include "actors/sprite.h"
#include "gfx/rect.h"

namespace kv {

class TDirectDrawSurface;

class TSpriteEngine : public TSprite {
 public:
  explicit TSpriteEngine(TSprite* parent);
  // Destroys the whole tree; the dead list goes only after the children, which leave it one by one.
  ~TSpriteEngine() override;

  // Draws the tree and counts the sprites drawn.
  void Draw();

  // Stores the surface; a surface also sets SurfaceRect and the engine's size, none keeps them.
  virtual void SetSurface(TDirectDrawSurface* surface);

  int32_t SpriteCount() const { return spriteCount_; }
  int32_t CollisionCount() const { return collisionCount_; }
  bool CollisionDone() const { return collisionDone_; }
  TRect CollisionRect() const { return collisionRect_; }
  TSprite* CollisionSprite() const { return collisionSprite_; }
  const std::vector<TSprite*>& DeadList() const { return deadList_; }
  int32_t DrawCount() const { return drawCount_; }
  TDirectDrawSurface* Surface() const { return surface_; }
  TRect SurfaceRect() const { return surfaceRect_; }

 private:
  friend class TSprite;

  int32_t spriteCount_ = 0;
  int32_t collisionCount_ = 0;
  bool collisionDone_ = false;
  TRect collisionRect_;
  TSprite* collisionSprite_ = nullptr;
  std::vector<TSprite*> deadList_;  // the entries are not owned
  int32_t drawCount_ = 0;
  TDirectDrawSurface* surface_ = nullptr;
  TRect surfaceRect_;
};

}  // namespace kv
