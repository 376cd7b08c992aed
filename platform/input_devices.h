#pragma once
// Game controllers and the foreground state; the keyboard comes through the event source.
#include <cstdint>

namespace kv {

struct JoystickReading {
  bool present = false;
  int minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;  // axis limits the device reports
  int x = 0, y = 0, z = 0;                                         // raw positions within the limits
  int buttonCount = 0;
  uint32_t buttons = 0;  // bit n: button n+1 is down
};

class InputDevices {
 public:
  virtual ~InputDevices() = default;
  // The input component reads one joystick on every poll (id counts from 0).
  virtual JoystickReading joystick(int id) = 0;
  // The input component asks whether the game's window has the keyboard focus.
  virtual bool foreground() = 0;
};

}  // namespace kv
