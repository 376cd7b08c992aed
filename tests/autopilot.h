#pragma once
// A player for scenario tests: it watches the ground, the rocks coming in from the left, the bomb and
// the saucers, and presses the keys a careful player would: Up in time to clear a pit, crater or
// rock (or to be in the air when a bomb lands underneath), Space when a rock is in the gun's line or
// a saucer is overhead.
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
