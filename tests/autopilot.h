#pragma once
// A player for scenario tests: it watches the ground and the rocks coming in from the left and
// presses the keys a careful player would: Up in time to clear a pit, crater or rock, Space when a
// rock is in range and a round is left.
#include "tests/game_fixture.h"

namespace kv::test {

class Autopilot {
 public:
  explicit Autopilot(GameFixture& g) : g_(g) {}
  // Sets the keys for the next tick from what is on the ground now.
  void decide();
  // Plays the running level to its end, one tick at a time.
  void playLevel();

 private:
  void press(int vk, bool down);

  GameFixture& g_;
};

}  // namespace kv::test
