#include "platform/sdl/sdl_input.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/sdl_video.h"

namespace kv {

SdlInput::~SdlInput() {
  for (SDL_Joystick* j : open_) {
    if (j) SDL_JoystickClose(j);
  }
  if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

bool SdlInput::startJoysticks() {
  if (tried_) return started_;
  tried_ = true;
  // A machine without joystick support still plays with the keyboard.
  started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  // The game reads the sticks when it wants them; their events would only wake the idle loop.
  if (started_) SDL_JoystickEventState(SDL_IGNORE);
  return started_;
}

JoystickReading SdlInput::joystick(int id) {
  JoystickReading r;
  if (id < 0 || !startJoysticks()) return r;
  SDL_JoystickUpdate();
  if (static_cast<size_t>(id) >= open_.size()) open_.resize(static_cast<size_t>(id) + 1, nullptr);
  SDL_Joystick*& j = open_[static_cast<size_t>(id)];
  if (j && !SDL_JoystickGetAttached(j)) {
    SDL_JoystickClose(j);
    j = nullptr;
  }
  if (!j) {
    if (id >= SDL_NumJoysticks()) return r;
    j = SDL_JoystickOpen(id);
    if (!j) return r;
  }
  r.present = true;
  r.minX = r.minY = r.minZ = SDL_JOYSTICK_AXIS_MIN;
  r.maxX = r.maxY = r.maxZ = SDL_JOYSTICK_AXIS_MAX;
  const int axes = SDL_JoystickNumAxes(j);
  // A stick without a third axis reads that axis at rest.
  r.x = axes > 0 ? SDL_JoystickGetAxis(j, 0) : 0;
  r.y = axes > 1 ? SDL_JoystickGetAxis(j, 1) : 0;
  r.z = axes > 2 ? SDL_JoystickGetAxis(j, 2) : 0;
  r.buttonCount = std::clamp(SDL_JoystickNumButtons(j), 0, 32);
  for (int b = 0; b < r.buttonCount; ++b) {
    if (SDL_JoystickGetButton(j, b)) r.buttons |= 1u << b;
  }
  return r;
}

bool SdlInput::foreground() {
  // SDL's dummy driver has no keyboard focus at all; its window counts as in front.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) return true;
  return video_.hasKeyboardFocus();
}

}  // namespace kv
