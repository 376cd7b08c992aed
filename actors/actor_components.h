#pragma once
// The main window's components that the actors use: the input states of this tick's poll and the
// sound effects. The window fills this in when it is created and empties it when it goes.
#include "platform/components/input.h"

namespace kv {

class TDXWaveList;

struct ActorComponents {
  const TDXInput* input = nullptr;
  TDXWaveList* sounds = nullptr;
};

extern ActorComponents actorComponents;

// Whether an input state is set in the last poll; nothing is held without an input component.
bool inputHeld(TDXInputState state);
// Plays wave entry `entry` once (the looped engine excepted); nothing without a wave list.
void playSound(int entry);
// Whether wave entry `entry` is sounding.
bool soundPlaying(int entry);

// The wave entries the actors play.
constexpr int kHoleSound = 0;   // "dziura": the vehicle falls into a pit
constexpr int kJumpSound = 1;   // "skok"
constexpr int kCrashSound = 3;  // "kamien": a rock hits the vehicle
constexpr int kHitSound = 4;    // "Trafiony": a shot destroys a rock
constexpr int kShotSound = 5;   // "strzal"

}  // namespace kv
