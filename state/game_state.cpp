#include "state/game_state.h"

#include "state/random.h"

namespace kv {

GameState game;
RandomGenerator randomGenerator;

void resetGameState() {
  game = GameState{};
  randomGenerator.seed(0);
}

}  // namespace kv
