#include "actors/shots.h"

#include "actors/actor_components.h"
#include "actors/vehicle.h"
#include "state/game_state.h"

namespace kv {

namespace {

constexpr double kShotStep = 22.0;

bool fireHeldWithRoundsLeft(bool flying) {
  return inputHeld(isButton1) && !flying && game.ammoUsed < game.ammoLimit;
}

// A shot that has left the screen is spent: hidden and out of every scan.
template <typename Shot>
void spend(Shot& shot) {
  shot.Flying = false;
  shot.Visible = false;
  shot.Collisioned = false;
}

template <typename Shot>
void launch(Shot& shot, double x, double y) {
  playSound(kShotSound);
  shot.X = x;
  shot.Y = y;
  shot.Flying = true;
  shot.Collisioned = true;
  shot.Visible = true;
}

}  // namespace

void TSprajtpocisku::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);
  if (Flying) {
    X = X - kShotStep;
    Y = Y + 0.3;  // it sinks a little on its way
  }
  if (X < 0) spend(*this);
  // Relaunched in the very move its last shot left, so a held button fires a steady stream.
  if (fireHeldWithRoundsLeft(Flying) && game.body) {
    launch(*this, game.body->X - 20, game.body->Y + 4);
    if (game.ammoUsed < game.ammoLimit) game.ammoUsed += 1;
  }
}

void TSprajtpocisku1::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);
  if (!game.upwardShotsOn) return;  // parked for the whole level
  if (Flying) Y = Y - kShotStep;
  if (Y < 0) spend(*this);
  // Uses no round, but the forward gun (which moves first) may just have taken the last one.
  if (fireHeldWithRoundsLeft(Flying) && game.body) launch(*this, game.body->X + 10, game.body->Y);
}

}  // namespace kv
