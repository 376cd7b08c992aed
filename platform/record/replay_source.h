#pragma once
// The replay back end: the five devices answer the game from a recording instead of a machine. No
// window, no sound card: the display keeps the last frame (for screenshots), the sound card mixes on
// the game's thread exactly the frames the real one had mixed when the game looked. A viewer (a
// real back end's display, events and clock) may watch: it is shown every frame at the recorded pace.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/record/recording_reader.h"
#include "platform/record/replay_cursor.h"
#include "platform/seam/platform.h"
#include "platform/support/rgb_image.h"

namespace kv {

struct ReplayViewer {
  VideoDevice* video = nullptr;
  EventSource* events = nullptr;
  Clock* clock = nullptr;
};

class ReplaySource {
 public:
  using Outcome = ReplayCursor::Outcome;
  using SoundSink = std::function<void(const int16_t* samples, int frames)>;

  // The file must have passed checkRecords, which gave summary.
  ReplaySource(RecordingFile file, const RecordingSummary& summary, std::string thisProgram);
  ~ReplaySource();
  ReplaySource(const ReplaySource&) = delete;
  ReplaySource& operator=(const ReplaySource&) = delete;

  Platform platform();
  const RecordingHeader& header() const { return file_.header; }

  // Set up before the run.
  void setViewer(const ReplayViewer& viewer);
  // Called once when the replay stops before its end (the program ends its main loop).
  void onStop(std::function<void()> listener);
  // Called at every event poll with the recorded clock's time, for the harness's own events.
  void onPoll(std::function<void(uint32_t recordedMs)> tick);
  // Everything the game's sound played, from time 0, with silence while the card was closed.
  void setSoundSink(SoundSink sink);
  // The rate the recorded card played at (44100 until it is known).
  int soundRate() const;

  // The run is over: the end mark must come next; the card's last frames are mixed.
  void finish();
  Outcome outcome() const { return cursor_.outcome(); }
  const std::string& message() const { return cursor_.message(); }
  uint32_t nowMs() const { return cursor_.nowMs(); }
  // The screen as the player saw it.
  RgbImage screen() const;

 private:
  struct Devices;
  RecordingFile file_;
  ReplayCursor cursor_;
  std::unique_ptr<Devices> devices_;
};

}  // namespace kv
