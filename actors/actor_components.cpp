#include "actors/actor_components.h"

#include "platform/components/wave_list.h"

namespace kv {

ActorComponents actorComponents;

bool inputHeld(TDXInputState state) {
  return actorComponents.input && (actorComponents.input->InputStates & stateBit(state)) != 0;
}

void playSound(int entry) {
  if (actorComponents.sounds) actorComponents.sounds->Items()[entry].PlayWave(false);
}

bool soundPlaying(int entry) {
  return actorComponents.sounds && actorComponents.sounds->Items()[entry].IsWavePlaying();
}

}  // namespace kv
