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

namespace {

// SDL reads an axis as -32768..32767; the game's scaling takes it as the multimedia joystick
// reports it, 0..65535 with the centre at 32767.
int fromSdlAxis(SDL_Joystick* j, int axis, int axes) {
  // A stick without that axis reads it at rest.
  return (axis < axes ? SDL_JoystickGetAxis(j, axis) : 0) - SDL_JOYSTICK_AXIS_MIN;
}

uint8_t hatBits(Uint8 hat) {
  uint8_t bits = 0;
  if (hat & SDL_HAT_UP) bits |= kHatUp;
  if (hat & SDL_HAT_RIGHT) bits |= kHatRight;
  if (hat & SDL_HAT_DOWN) bits |= kHatDown;
  if (hat & SDL_HAT_LEFT) bits |= kHatLeft;
  return bits;
}

}  // namespace

JoystickReading SdlInput::joystick(int id) {
  JoystickReading r;
  if (id < 0 || !startJoysticks()) return r;
  // With the joystick events switched off nothing else updates the sticks: this reads them and also
  // finds controllers plugged in or pulled out since the last call.
  SDL_JoystickUpdate();
  if (static_cast<size_t>(id) >= open_.size()) open_.resize(static_cast<size_t>(id) + 1, nullptr);
  SDL_Joystick*& j = open_[static_cast<size_t>(id)];
  if (j && !SDL_JoystickGetAttached(j)) {
    // Pulled out: let it go now, so it is never read again; the poll sees no stick at all.
    SDL_JoystickClose(j);
    j = nullptr;
    return r;
  }
  if (!j) {
    if (id >= SDL_NumJoysticks()) return r;
    j = SDL_JoystickOpen(id);
    if (!j) return r;
  }
  r.present = true;
  r.minX = r.minY = r.minZ = 0;
  r.maxX = r.maxY = r.maxZ = SDL_JOYSTICK_AXIS_MAX - SDL_JOYSTICK_AXIS_MIN;
  const int axes = SDL_JoystickNumAxes(j);
  r.x = fromSdlAxis(j, 0, axes);
  r.y = fromSdlAxis(j, 1, axes);
  r.z = fromSdlAxis(j, 2, axes);
  r.buttonCount = std::clamp(SDL_JoystickNumButtons(j), 0, 32);
  for (int b = 0; b < r.buttonCount; ++b) {
    if (SDL_JoystickGetButton(j, b)) r.buttons |= 1u << b;
  }
  if (SDL_JoystickNumHats(j) > 0) r.hat = hatBits(SDL_JoystickGetHat(j, 0));
  return r;
}

bool SdlInput::foreground() {
  // SDL's dummy driver has no keyboard focus at all; its window counts as in front.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) return true;
  return video_.hasKeyboardFocus();
}

}  // namespace kv
