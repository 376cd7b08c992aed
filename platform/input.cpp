#include "platform/input.h"

#include <cmath>
#include <cstdlib>

#include "platform/input_devices.h"
#include "platform/keyboard_state.h"

namespace kv {

KeyAssigns defaultKeyAssigns() {
  KeyAssigns a{};
  a[isUp] = {75, 38, 104};
  a[isDown] = {74, 40, 98};
  a[isLeft] = {72, 37, 100};
  a[isRight] = {76, 39, 102};
  a[isButton1] = {90, 32, 0};
  a[isButton1 + 1] = {88, 13, 0};
  a[isButton1 + 8] = {113, 0, 0};
  return a;
}

TDXInput::TDXInput(KeyboardState& keyboard, InputDevices& devices) : keyboard_(keyboard), devices_(devices) {
  Mouse.Enabled = false;
  Mouse.BindInputStates = false;
}

void TDXInput::Poll() {
  TDXInputStates raw = 0;
  pollJoystick();
  if (Joystick.BindInputStates) raw |= Joystick.States;
  pollKeyboard();
  if (Keyboard.BindInputStates) raw |= Keyboard.States;
  Mouse.States = 0;  // the mouse is never read
  if (Mouse.BindInputStates) raw |= Mouse.States;
  // Only changes between two polls touch InputStates, so a state set by hand stays until its device changes.
  const TDXInputStates pressed = raw & ~previousRaw_;
  const TDXInputStates released = previousRaw_ & ~raw;
  InputStates = (InputStates | pressed) & ~released;
  previousRaw_ = raw;
}

void TDXInput::pollKeyboard() {
  Keyboard.KeyStates.fill(0);
  Keyboard.States = 0;
  if (!Keyboard.Enabled) return;
  if (ActiveOnly && !devices_.foreground()) return;
  keyboard_.snapshot(Keyboard.KeyStates);
  for (int state = 0; state < kInputStateCount; ++state) {
    for (int32_t code : Keyboard.Assigns[static_cast<size_t>(state)]) {
      if (code >= 1 && code <= 255 && (Keyboard.KeyStates[static_cast<size_t>(code)] & 0x80)) {
        Keyboard.States |= stateBit(state);
        break;
      }
    }
  }
}

int32_t scaleJoystickAxis(int32_t position, int32_t min, int32_t max, int32_t deadZone, int32_t range) {
  const int64_t half = (static_cast<int64_t>(max) - min) / 2;
  const int64_t rel = position - (min + half);  // the centre of the travel
  const int64_t dz = half * deadZone / 100;
  if (half - dz == 0 || std::llabs(rel) <= dz) return 0;
  const int64_t num = (rel > 0 ? rel - dz : rel + dz) * range;
  return static_cast<int32_t>(std::llround(static_cast<double>(num) / static_cast<double>(half - dz)));
}

void TDXInput::pollJoystick() {
  Joystick.X = Joystick.Y = Joystick.Z = 0;
  Joystick.Buttons.fill(0);
  Joystick.States = 0;
  if (!Joystick.Enabled) return;
  if (ActiveOnly && !devices_.foreground()) return;
  const JoystickReading r = devices_.joystick(Joystick.ID);
  if (!r.present) return;
  Joystick.X = scaleJoystickAxis(r.x, r.minX, r.maxX, Joystick.DeadZoneX, Joystick.RangeX);
  Joystick.Y = scaleJoystickAxis(r.y, r.minY, r.maxY, Joystick.DeadZoneY, Joystick.RangeY);
  Joystick.Z = scaleJoystickAxis(r.z, r.minZ, r.maxZ, Joystick.DeadZoneZ, Joystick.RangeZ);
  for (int b = 0; b < 32 && b < r.buttonCount; ++b) {
    if (r.buttons & (1u << b)) {
      Joystick.Buttons[static_cast<size_t>(b)] = 0x80;
      Joystick.States |= stateBit(isButton1 + b);
    }
  }
  if (Joystick.X < 0) Joystick.States |= stateBit(isLeft);
  if (Joystick.X > 0) Joystick.States |= stateBit(isRight);
  if (Joystick.Y < 0) Joystick.States |= stateBit(isUp);
  if (Joystick.Y > 0) Joystick.States |= stateBit(isDown);
}

}  // namespace kv
