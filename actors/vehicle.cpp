#include "actors/vehicle.h"

#include "actors/actor_components.h"
#include "platform/support/rounding.h"
#include "state/game_state.h"
#include "state/terrain.h"

namespace kv {

namespace {

constexpr double kTakeOffSpeed = -4.0;

}  // namespace

int32_t vehicleHorizontalStep(TSprite& part, double offset) {
  if (inputHeld(isLeft)) {
    if (part.X - offset > 10) part.X -= 1.5;
    game.speed = game.fastSpeed;
  } else {
    game.speed = game.normalSpeed;
  }
  if (inputHeld(isRight)) {
    if (!(part.X - offset >= 700)) part.X += 1.5;
    game.speed = game.slowSpeed;
  }
  return round32(part.X);
}

void TSprajtczolgu1::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);
  const int32_t c = vehicleHorizontalStep(*this, 10);

  if (inputHeld(isUp) && Grounded) {
    playSound(kJumpSound);
    VelocityY = kTakeOffSpeed;
    Grounded = false;
    game.jumpPending = true;
  }

  VelocityY = VelocityY + Weight * game.gravity;
  Y = Y + VelocityY;

  // The body rests on the ground 30 columns right of its left edge.
  const int32_t g = groundAt(c + 30).height - 33;
  if (Y > g) {
    VelocityY = 0;
    Y = g;
    Grounded = true;
  }

  // On the ground over a pit 15 columns in: lost. While the pit's sound plays the test rests, so
  // one fall is heard once.
  if (!game.holeSoundPlaying && Y >= g && groundAt(c + 15).hole) {
    if (!game.wrecked) playSound(kHoleSound);
    game.wrecked = true;
    Visible = false;
  }

  // In the air over a pit under the left edge: the jump has cleared it.
  if (g > Y && groundAt(c).hole && game.jumpPending) {
    game.points += 1;
    game.jumpPending = false;
  }

  game.holeSoundPlaying = soundPlaying(kHoleSound);
}

void TSprajtczolgu::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);

  if (!game.wrecked) {
    const int32_t c = vehicleHorizontalStep(*this, 12.0 * WheelIndex);
    if (inputHeld(isUp) && Grounded) {
      VelocityY = kTakeOffSpeed;
      Grounded = false;
    }
    VelocityY = VelocityY + Weight * game.gravity;
    Y = Y + VelocityY;
    const int32_t g = groundAt(c).height - 13;
    if (Y > g) {
      VelocityY = 0;
      Y = g;
      Grounded = true;
    }
  }

  // Tested again: a wreck the body found earlier in this pass reaches all six wheels at once.
  if (game.wrecked) {
    if (game.body) game.body->Visible = false;
    game.gravity = 0.13;
    game.wreckTime += 1;
    // Wreckage drifting past the screen's edges finds no ground there and falls away.
    if (Y > groundAt(round32(X)).height - 13) VelocityY = kTakeOffSpeed;
    VelocityY = VelocityY + Weight * game.gravity;
    Y = Y + VelocityY;
    X = (X - 3.9) + WheelIndex;
  }
}

}  // namespace kv
