#pragma once
// A back end that records: it wraps any back end's five devices, passes every call through and writes
// down, in the order the game asked, what each call was and what the back end answered. The sound
// card's progress (which runs on its own thread) is written where the game can see it: at every lock
// and every look at what the mix published, as the number of frames mixed since the last report.
#include <memory>

#include "platform/record/recording_writer.h"
#include "platform/seam/platform.h"

namespace kv {

class RecordingPlatform {
 public:
  RecordingPlatform(const Platform& inner, RecordingWriter& writer);
  ~RecordingPlatform();
  RecordingPlatform(const RecordingPlatform&) = delete;
  RecordingPlatform& operator=(const RecordingPlatform&) = delete;

  Platform platform();
  // The run is over: writes the end mark (with the card's last frames) and the last block. Calls after
  // it pass through unrecorded. False when the recording could not be written.
  bool finish();

 private:
  struct Devices;
  std::unique_ptr<Devices> devices_;
};

}  // namespace kv
