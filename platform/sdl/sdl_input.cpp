#include "platform/sdl/sdl_input.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/sdl_video.h"

namespace kv {

SdlInput::~SdlInput() {
  for (Stick& s : open_) release(s);
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK);
}

void SdlInput::release(Stick& s) {
  if (s.controller) {
    SDL_GameControllerClose(s.controller);
  } else if (s.joystick) {
    SDL_JoystickClose(s.joystick);
  }
  s = Stick{};
}

bool SdlInput::startJoysticks() {
  if (tried_) return started_;
  tried_ = true;
  // The fire button is the south one by its place, also on pads that label it otherwise (B on a
  // Nintendo pad).
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  // A machine without joystick support still plays with the keyboard.
  started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
  // The game reads the sticks when it wants them; their events would only wake the idle loop.
  if (started_) {
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
  }
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

// The stick's full travel as the game's scaling takes it.
void setAxisLimits(JoystickReading& r) {
  r.minX = r.minY = r.minZ = 0;
  r.maxX = r.maxY = r.maxZ = SDL_JOYSTICK_AXIS_MAX - SDL_JOYSTICK_AXIS_MIN;
}

// A game controller through its mapping: the left stick, the D-pad and the face buttons wherever
// this make of pad has them.
void readController(SDL_GameController* c, JoystickReading& r) {
  setAxisLimits(r);
  r.x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX) - SDL_JOYSTICK_AXIS_MIN;
  r.y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY) - SDL_JOYSTICK_AXIS_MIN;
  r.z = -SDL_JOYSTICK_AXIS_MIN;  // nothing of a pad stands for the third axis: at rest
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
    const auto button = static_cast<SDL_GameControllerButton>(b);
    if (button >= SDL_CONTROLLER_BUTTON_DPAD_UP && button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT) continue;
    if (SDL_GameControllerGetButton(c, button)) r.buttons |= 1u << r.buttonCount;
    ++r.buttonCount;  // A (south) first, so it fires as button 1 does
  }
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP)) r.hat |= kHatUp;
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) r.hat |= kHatRight;
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) r.hat |= kHatDown;
  if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) r.hat |= kHatLeft;
}

void readJoystick(SDL_Joystick* j, JoystickReading& r) {
  setAxisLimits(r);
  const int axes = SDL_JoystickNumAxes(j);
  r.x = fromSdlAxis(j, 0, axes);
  r.y = fromSdlAxis(j, 1, axes);
  r.z = fromSdlAxis(j, 2, axes);
  r.buttonCount = std::clamp(SDL_JoystickNumButtons(j), 0, 32);
  for (int b = 0; b < r.buttonCount; ++b) {
    if (SDL_JoystickGetButton(j, b)) r.buttons |= 1u << b;
  }
  if (SDL_JoystickNumHats(j) > 0) r.hat = hatBits(SDL_JoystickGetHat(j, 0));
}

}  // namespace

JoystickReading SdlInput::joystick(int id) {
  JoystickReading r;
  if (id < 0 || !startJoysticks()) return r;
  // With the joystick events switched off nothing else updates the sticks: this reads them and also
  // finds controllers plugged in or pulled out since the last call.
  SDL_JoystickUpdate();
  if (static_cast<size_t>(id) >= open_.size()) open_.resize(static_cast<size_t>(id) + 1);
  Stick& s = open_[static_cast<size_t>(id)];
  if (s.joystick && !SDL_JoystickGetAttached(s.joystick)) {
    // Pulled out: let it go now, so it is never read again; the poll sees no stick at all.
    release(s);
    return r;
  }
  if (!s.joystick) {
    if (id >= SDL_NumJoysticks()) return r;
    if (SDL_IsGameController(id)) {
      s.controller = SDL_GameControllerOpen(id);
      if (s.controller) s.joystick = SDL_GameControllerGetJoystick(s.controller);
    }
    // A pad whose mapping does not take is still a joystick.
    if (!s.joystick) {
      release(s);
      s.joystick = SDL_JoystickOpen(id);
    }
    if (!s.joystick) return r;
  }
  r.present = true;
  if (s.controller) {
    readController(s.controller, r);
  } else {
    readJoystick(s.joystick, r);
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
