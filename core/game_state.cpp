#include "core/game_state.h"

#include "core/random.h"

namespace kv {

GameState game;
RandomGenerator randomGenerator;

void resetGameState() {
  game = GameState{};
  randomGenerator.seed(0);
}

}  // namespace kv
