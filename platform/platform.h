#pragma once
// One back end: the five devices the game talks to.
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/event_source.h"
#include "platform/input_devices.h"
#include "platform/video_device.h"

namespace kv {

struct Platform {
  VideoDevice& video;
  EventSource& events;
  Clock& clock;
  InputDevices& input;
  AudioDevice& audio;
};

}  // namespace kv
