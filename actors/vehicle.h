#pragma once
// The player's vehicle: a body and six wheels that follow the same keys and shift together, each
// with its own fall and landing, so the wheels ride every bump while the body rests on the ground
// under one column. The body jumps with its sound, falls into pits and scores the pits it clears;
// the wheels carry the wreck, bouncing and drifting apart until the level ends.
#include <cstdint>

#include "actors/image_sprite.h"

namespace kv {

// The body. Faces left; its left edge is X.
class TSprajtczolgu1 : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;

  bool Grounded = false;  // standing on the ground, so it may jump
  double VelocityY = 0;   // pixels per move, positive downward
  double Weight = 0;      // factor applied to the game's gravity

 protected:
  void DoMove(int32_t moveCount) override;
};

// One of the six wheels, numbered 1 to 6 from the left.
class TSprajtczolgu : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;

  bool Grounded = false;
  double VelocityY = 0;
  double Weight = 0;
  int32_t WheelIndex = 0;

 protected:
  void DoMove(int32_t moveCount) override;
};

// Every part of the vehicle steps 1.5 pixels while Left or Right is held and picks the pace:
// Left the fast speed, Right the slow one (Right wins), neither the normal one. `offset` is the
// part's distance from the vehicle's common reference, so all seven stop at the same limits.
// Returns the part's column, its X rounded.
int32_t vehicleHorizontalStep(TSprite& part, double offset);

}  // namespace kv
