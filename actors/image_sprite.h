#pragma once
// TImageSprite: a sprite drawn as one pattern of an image-list entry, with a frame animation that
// advances on every move. Every actor of the game is one.
#include <cstdint>

#include "actors/sprite.h"
#include "gfx/rect.h"

namespace kv {

class TPictureCollectionItem;

class TImageSprite : public TSprite {
 public:
  explicit TImageSprite(TSprite* parent);

  int32_t AnimCount = 0;    // frames of the animation
  bool AnimLooped = false;  // wraps around instead of stopping at the last frame
  double AnimPos = 0;       // position in frames
  double AnimSpeed = 0;     // frames per unit of move count
  int32_t AnimStart = 0;    // pattern index of frame 0

 private:
  TPictureCollectionItem* image_ = nullptr;  // not owned

 public:
  // Asks for a pixel-exact collision test and for tiling over the surface. No sprite of the game
  // sets either; both are kept as switches and have no effect: collisions are decided by the
  // rectangles and the bounds are always the plain rectangle.
  bool PixelCheck = false;
  bool Tile = false;

  TPictureCollectionItem* Image() const { return image_; }
  // Stores the entry and takes its size (pattern size, or the whole picture's); none gives 0 x 0.
  virtual void SetImage(TPictureCollectionItem* image);

  // Advances AnimPos by moveCount x AnimSpeed, wrapping or stopping at the ends.
  void Animate(int32_t moveCount);
  // The pattern shown: Round(AnimPos) + AnimStart.
  int32_t ImageIndex() const;
  // The bounds, shifted so that an image smaller or larger than the sprite sits in its middle.
  TRect DrawRect();

 protected:
  // OnMove when assigned, else one animation step.
  void DoMove(int32_t moveCount) override;
  // OnGetImage fills a missing image; OnDraw when assigned, else pattern ImageIndex of the image at
  // the top-left of DrawRect on the engine's surface.
  void DoDraw() override;
};

}  // namespace kv
