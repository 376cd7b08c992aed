#pragma once
// A rock rolling in from the left with the ground. It wrecks the vehicle when it touches the body
// and passes through it; a forward shot destroys it for a point. Past the right edge, or shot, it
// stays in the tree, dead and hidden, until the level ends.
#include <cstdint>

#include "actors/image_sprite.h"

namespace kv {

class TSprajtkamienia : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;

 protected:
  void DoMove(int32_t moveCount) override;
  void DoCollision(TSprite* sprite, bool& done) override;
};

}  // namespace kv
