#pragma once
// Everything the game needs from a machine, without a window or a sound card.
#include <vector>

#include "platform/headless/scripted_events.h"
#include "platform/headless/virtual_audio.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"
#include "platform/platform.h"

namespace kv {

class VirtualInput : public InputDevices {
 public:
  JoystickReading joystick(int id) override { return id == 0 ? stick : JoystickReading{}; }
  bool foreground() override { return inForeground; }
  JoystickReading stick;  // tests plug in a controller here
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
