#include "actors/tree.h"

#include "state/game_state.h"
#include "state/random.h"

namespace kv {

void TSprajtdrzewa::DoMove(int32_t moveCount) {
  TImageSprite::DoMove(moveCount);
  X = (game.speed / 1.3 + X) + 0.1;
  if (X > 860) {
    X = -90 - Random(100);
    Y = game.terrain[1].height - 250;
  }
}

}  // namespace kv
