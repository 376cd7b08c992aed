#include "app/headless_game.h"

#include <utility>

#include "gfx/backdrop.h"
#include "gfx/turbopixels.h"
#include "state/game_state.h"

namespace kv {

HeadlessGame::HeadlessGame(HeadlessGameSettings settings) {
  // The program-wide state, the title backdrop's wave and the pixel lock as a new process has them.
  resetGameState();
  backdropBase = 0;
  backdropPhase = 0;
  backdropColumns.fill(BackdropColumn{});
  UnlockSurface();
  backend = std::make_unique<HeadlessBackend>(settings.refreshHz, std::move(settings.script));
  backend->events.setQuitWhenDone(false);
  if (settings.beforeStart) settings.beforeStart(*backend);
  platform = std::make_unique<Platform>(backend->platform());
  audio = std::make_unique<AudioSystem>(platform->audio, settings.sampleRate);
  app = std::make_unique<TApplication>(*platform);
  FormSettings formSettings;
  formSettings.dataDirs = std::move(settings.dataDirs);
  formSettings.seedGiven = true;
  formSettings.seed = settings.seed;
  form = std::make_unique<TForm1>(*app, *audio, formSettings);
}

HeadlessGame::~HeadlessGame() {
  // The window goes first: it takes the level's actors and its components with it.
  form.reset();
  UnlockSurface();
}

}  // namespace kv
