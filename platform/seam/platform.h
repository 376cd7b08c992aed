#pragma once
// One back end: the five devices the game talks to.
#include "platform/seam/audio_device.h"
#include "platform/seam/clock.h"
#include "platform/seam/event_source.h"
#include "platform/seam/input_devices.h"
#include "platform/seam/video_device.h"

namespace kv {

struct Platform {
  VideoDevice& video;
  EventSource& events;
  Clock& clock;
  InputDevices& input;
  AudioDevice& audio;
};

}  // namespace kv
