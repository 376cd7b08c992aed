#pragma once
// Game controllers and the foreground state; the keyboard comes through the event source.
#include <cstdint>

namespace kv {

// Directions of a point-of-view hat (a gamepad's D-pad); a diagonal sets two.
constexpr uint8_t kHatUp = 1, kHatRight = 2, kHatDown = 4, kHatLeft = 8;

struct JoystickReading {
  bool present = false;
  int minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;  // axis limits the device reports
  int x = 0, y = 0, z = 0;                                         // raw positions within the limits
  int buttonCount = 0;
  uint32_t buttons = 0;  // bit n: button n+1 is down
  uint8_t hat = 0;       // kHat* bits of the first hat; 0 when centred or when there is none
};

class InputDevices {
 public:
  virtual ~InputDevices() = default;
  // The input component reads one joystick on every poll (id counts from 0). A controller plugged
  // in since the last call is found, one pulled out reads as not present.
  virtual JoystickReading joystick(int id) = 0;
  // The input component asks whether the game's window has the keyboard focus.
  virtual bool foreground() = 0;
};

}  // namespace kv
