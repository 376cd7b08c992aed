#include "actors/ufo.h"

#include <cmath>

#include "actors/shots.h"
#include "gfx/image_list.h"
#include "platform/support/rounding.h"
#include "state/game_state.h"
#include "state/terrain.h"

namespace kv {

void TSprajtwroga::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);
  X = static_cast<double>(X + SpeedX);
  // It turns only once past an edge, so it overshoots by less than a step.
  if (X > 800 || X < 0) SpeedX = -SpeedX;
  Y = std::sin(X / 40) * 30 + 40;

  TSprajtbomby* bomb = game.bomb;
  if (game.bombDraw == 17 && bomb && bomb->Ready && X < 500 && Visible) {
    const int32_t width = Image() ? Image()->Width() : Width;
    bomb->X = X + width / 2;
    bomb->Y = Y;
    bomb->Visible = true;
    bomb->Ready = false;
  }
  Collision();
}

void TSprajtwroga::DoCollision(TSprite* sprite, bool& /*done*/) {
  // The shot flies on and may bring down another saucer higher up.
  if (sprite == game.upwardShot) {
    Collisioned = false;
    Visible = false;
    Active = false;
    game.points += 1;
  }
}

void TSprajtbomby::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);
  const int32_t c = round32(X);
  if (groundAt(c).height > Y && !Ready) Y = Y + 10.0;
  if (Y >= groundAt(c).height) {
    Ready = true;
    Visible = false;
    Y = 0.0;
    blowCrater(c);
  }
}

}  // namespace kv
