#pragma once
// The vehicle's two guns, one reusable shot each, both fired by button 1 from the body's position.
// The forward shot flies left along the ground and spends a round; the upward shot climbs straight
// up on the levels that have it. A gun fires again once its shot has left the screen (or, forward,
// hit a rock); neither fires once the level's rounds are spent.
#include <cstdint>

#include "actors/image_sprite.h"

namespace kv {

class TSprajtpocisku : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;
  bool Flying = false;

 protected:
  void DoMove(int32_t moveCount) override;
};

class TSprajtpocisku1 : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;
  bool Flying = false;

 protected:
  void DoMove(int32_t moveCount) override;
};

}  // namespace kv
