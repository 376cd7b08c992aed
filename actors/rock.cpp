#include "actors/rock.h"

#include "actors/actor_components.h"
#include "actors/shots.h"
#include "actors/vehicle.h"
#include "state/game_state.h"

namespace kv {

void TSprajtkamienia::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);
  // speed + 1 per move, and a move every speed + 1 ticks: the rock keeps pace with the ground.
  if (X < 800) {
    X = X + game.speed + 1;
  } else {
    MarkDead();
    Visible = false;
  }
  Collision();
}

void TSprajtkamienia::DoCollision(TSprite* sprite, bool& /*done*/) {
  if (sprite == game.body) {
    Collisioned = false;
    if (!game.wrecked) playSound(kCrashSound);
    game.wrecked = true;
  }
  if (sprite == game.forwardShot) {
    game.points += 1;
    Collisioned = false;
    Visible = false;
    MarkDead();
    X = 810.0;  // beyond the right edge for good
    playSound(kHitSound);
    game.forwardShot->Flying = false;
    game.forwardShot->Visible = false;
    game.forwardShot->Collisioned = false;
  }
}

}  // namespace kv
