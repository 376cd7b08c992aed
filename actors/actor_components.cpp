#include "actors/actor_components.h"

#include "platform/wave_list.h"

namespace kv {

ActorComponents actorComponents;

bool inputHeld(TDXInputState state) {
  return actorComponents.input && (actorComponents.input->InputStates & stateBit(state)) != 0;
}

void playSound(int entry) {
  if (!actorComponents.sounds) return;
  (void)entry;
}

bool soundPlaying(int entry) {
  if (!actorComponents.sounds) return false;
  (void)entry;
  return false;
}

}  // namespace kv
