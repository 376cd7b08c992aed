#pragma once
// A scenery tree: drifts right more slowly than the ground, for depth, and comes back in from the
// left edge at a random distance once it has passed the right one.
#include <cstdint>

#include "actors/image_sprite.h"

namespace kv {

class TSprajtdrzewa : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;

 protected:
  void DoMove(int32_t moveCount) override;
};

}  // namespace kv
