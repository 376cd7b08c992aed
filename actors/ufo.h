#pragma once
// A flying saucer: crosses the sky on a sine path, bounces between the screen's edges, may drop the
// one bomb while it is left of x 500, and is shot down by the upward gun for a point.
#include <cstdint>

#include "actors/image_sprite.h"

namespace kv {

class TSprajtwroga : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;

  long double SpeedX = 0;  // pixels per move; the sign is the direction
  bool Active = false;     // launched and not shot yet

 protected:
  void DoMove(int32_t moveCount) override;
  void DoCollision(TSprite* sprite, bool& done) override;
};

// The bomb all saucers share: falls straight down and blows a crater where it meets the ground.
class TSprajtbomby : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;

  bool Ready = false;  // armed, waiting to be dropped

 protected:
  void DoMove(int32_t moveCount) override;
};

}  // namespace kv
