#pragma once
// Everything the game needs from a machine, without a window or a sound card.
#include <vector>

#include "platform/headless/scripted_events.h"
#include "platform/headless/virtual_audio.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"
#include "platform/seam/platform.h"

namespace kv {

// Joystick 0 and the focus as tests set them.
class VirtualInput : public InputDevices {
 public:
  JoystickReading joystick(int id) override { return id == 0 && stick.present ? stick : JoystickReading{}; }
  bool foreground() override { return inForeground; }

  // A controller with 0..65535 axes at rest and `buttons` buttons, none pressed.
  void plugStick(int buttons = 4) {
    stick = JoystickReading{};
    stick.present = true;
    stick.maxX = stick.maxY = stick.maxZ = 65535;
    stick.x = stick.y = stick.z = 32767;
    stick.buttonCount = buttons;
  }
  // Pulled out while the game runs; whatever was held on it goes with it.
  void pullStick() { stick.present = false; }

  JoystickReading stick;
  bool inForeground = true;
};

class HeadlessBackend {
 public:
  HeadlessBackend(int refreshHz, std::vector<ScriptEvent> script)
      : display(clock, refreshHz), events(clock, std::move(script)), audio(clock) {}
  HeadlessBackend(const HeadlessBackend&) = delete;
  HeadlessBackend& operator=(const HeadlessBackend&) = delete;

  Platform platform() { return Platform{display, events, clock, input, audio}; }

  VirtualClock clock;
  VirtualDisplay display;
  ScriptedEvents events;
  VirtualInput input;
  VirtualAudio audio;
};

}  // namespace kv
