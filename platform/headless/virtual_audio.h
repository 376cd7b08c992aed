#pragma once
// A sound card without sound: it pulls mixed samples exactly as fast as virtual time passes, so
// effects end and the music moves on as they would in real time.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/seam/audio_device.h"

namespace kv {

class VirtualClock;

class VirtualAudio : public AudioDevice {
 public:
  using Sink = std::function<void(const int16_t* samples, int frames)>;

  explicit VirtualAudio(VirtualClock& clock);
  bool open(int sampleRate, MixCallback mix) override;
  void close() override;
  bool isOpen() const override { return open_; }
  int sampleRate() const override { return rate_; }
  void lock() override {}
  void unlock() override {}

  // Tests listen to what would have reached the speakers.
  void setTap(Sink tap) { tap_ = std::move(tap); }
  void setOpenFails(bool fails) { openFails_ = fails; }
  uint64_t framesMixed() const { return framesMixed_; }

  // Benchmarks of the game's own work: the card mixes only when mixDue() says so, not as time
  // passes, the way a real card mixes on its own thread and not in the game's.
  void setMixOnDemand(bool onDemand);
  void mixDue();

  // The card goes away while open, as an unplugged one would: it closes and tells the audio system.
  void simulateLoss();

  // The card's whole output from virtual time 0 on, at `rate` (the card then plays at that rate
  // whatever it is asked for), with silence for every moment it is closed or lost. Set it up
  // before anything opens the card.
  void record(int rate, Sink sink);
  // Brings the recording up to the present moment.
  void finishRecording();

 private:
  void advance(uint64_t ns);
  void mixUntil(uint64_t ns);
  // Silence in the recording up to `frame` frames from virtual time 0.
  void recordSilenceUntil(uint64_t frame);

  VirtualClock& clock_;
  MixCallback mix_;
  Sink tap_;
  Sink recorder_;
  bool open_ = false;
  bool openFails_ = false;
  bool mixOnDemand_ = false;
  int rate_ = 0;
  int recordRate_ = 0;
  uint64_t openedAtNs_ = 0;
  uint64_t framesMixed_ = 0;
  uint64_t framesRecorded_ = 0;
  std::vector<int16_t> buffer_;  // one chunk of the mix, kept between advances
};

}  // namespace kv
