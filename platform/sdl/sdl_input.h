#pragma once
// Joysticks through SDL and the window's focus. A stick is opened when the game first asks for it
// and closed as soon as it is pulled out; one plugged in later is opened on the next read.
#include <vector>

#include "platform/seam/input_devices.h"

struct _SDL_Joystick;

namespace kv {

class SdlVideo;

class SdlInput : public InputDevices {
 public:
  explicit SdlInput(SdlVideo& video) : video_(video) {}
  ~SdlInput() override;
  SdlInput(const SdlInput&) = delete;
  SdlInput& operator=(const SdlInput&) = delete;

  JoystickReading joystick(int id) override;
  bool foreground() override;

 private:
  bool startJoysticks();

  SdlVideo& video_;
  bool tried_ = false;
  bool started_ = false;
  std::vector<_SDL_Joystick*> open_;  // by id; null until the game asks for that one
};

}  // namespace kv
