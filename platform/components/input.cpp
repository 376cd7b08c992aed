#include "platform/components/input.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "platform/components/keyboard_state.h"
#include "platform/seam/input_devices.h"

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
  keyboard_.snapshot(Keyboard.KeyStates);
  // In the background the keys are read and thrown away, so a tap made there never shows later.
  if (ActiveOnly && !devices_.foreground()) {
    Keyboard.KeyStates.fill(0);
    return;
  }
  for (int state = 0; state < kInputStateCount; ++state) {
    for (int32_t code : Keyboard.Assigns[static_cast<size_t>(state)]) {
      if (code >= 1 && code <= 255 && (Keyboard.KeyStates[static_cast<size_t>(code)] & 0x80)) {
        Keyboard.States |= stateBit(state);
        break;
      }
    }
  }
}

namespace {

// a * b / c rounded to the nearest integer, halves away from zero, as the system's multiply-divide
// does; results beyond 32 bits saturate.
int64_t mulDiv(int64_t a, int64_t b, int64_t c) {
  const __int128 product = static_cast<__int128>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const unsigned __int128 p = static_cast<unsigned __int128>(product < 0 ? -product : product);
  const auto d = static_cast<unsigned __int128>(c < 0 ? -static_cast<__int128>(c) : c);
  const unsigned __int128 q = (p + d / 2) / d;
  const __int128 limit = INT32_MAX;
  const __int128 value = q > static_cast<unsigned __int128>(limit) ? limit : static_cast<__int128>(q);
  return static_cast<int64_t>(negative ? -value : value);
}

}  // namespace

int32_t scaleJoystickAxis(int32_t position, int32_t min, int32_t max, int32_t deadZone, int32_t range) {
  const int64_t half = (static_cast<int64_t>(max) - min) / 2;
  // Measured from the centre of the travel; devices that report from 0 have it at half.
  const int64_t rel = static_cast<int64_t>(position) - (min + half);
  const int64_t dz = half * deadZone / 100;
  if (half - dz == 0 || std::llabs(rel) <= dz) return 0;
  return static_cast<int32_t>(mulDiv(rel > 0 ? rel - dz : rel + dz, range, half - dz));
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
  // The D-pad steers like the stick.
  if (r.hat & kHatLeft) Joystick.States |= stateBit(isLeft);
  if (r.hat & kHatRight) Joystick.States |= stateBit(isRight);
  if (r.hat & kHatUp) Joystick.States |= stateBit(isUp);
  if (r.hat & kHatDown) Joystick.States |= stateBit(isDown);
}

}  // namespace kv
