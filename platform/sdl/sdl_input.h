#pragma once
// Joysticks through SDL and the window's focus. A stick is opened when the game first asks for it
// and closed as soon as it is pulled out; one plugged in later is opened on the next read.
//
// A pad that SDL knows as a game controller (its mapping database covers the common pads, whatever
// their make) is read through that mapping, so every such pad reads alike: the left stick as the
// axes, the D-pad as the hat, the south face button (A, cross) as button 1, the other buttons after
// it in SDL's order. Any other joystick is read as it reports itself.
#include <vector>

#include "platform/seam/input_devices.h"

struct _SDL_Joystick;
struct _SDL_GameController;

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
  // One device as the game asked for it by number; a controller's joystick belongs to it.
  struct Stick {
    _SDL_Joystick* joystick = nullptr;
    _SDL_GameController* controller = nullptr;
  };
  bool startJoysticks();
  static void release(Stick& s);

  SdlVideo& video_;
  bool tried_ = false;
  bool started_ = false;
  std::vector<Stick> open_;  // by id; empty until the game asks for that one
};

}  // namespace kv
