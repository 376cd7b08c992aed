#include "platform/headless/virtual_audio.h"

#include <algorithm>
#include <vector>

#include "platform/headless/virtual_clock.h"

namespace kv {

namespace {

constexpr uint64_t kChunkFrames = 4096;

// Whole frames at `rate` in `ns` nanoseconds.
uint64_t framesIn(uint64_t ns, int rate) {
  return static_cast<uint64_t>(static_cast<unsigned __int128>(ns) * static_cast<unsigned>(rate) /
                               1'000'000'000u);
}

}  // namespace

VirtualAudio::VirtualAudio(VirtualClock& clock) : clock_(clock) {
  clock_.onAdvance([this](uint64_t ns) { advance(ns); });
}

bool VirtualAudio::open(int sampleRate, MixCallback mix) {
  if (openFails_ || sampleRate <= 0) return false;
  open_ = true;
  rate_ = recorder_ ? recordRate_ : sampleRate;
  mix_ = std::move(mix);
  openedAtNs_ = clock_.nowNs();
  framesMixed_ = 0;
  return true;
}

void VirtualAudio::close() {
  open_ = false;
  mix_ = nullptr;
}

void VirtualAudio::simulateLoss() {
  if (!open_) return;
  close();
  reportLost();
}

void VirtualAudio::record(int rate, Sink sink) {
  recordRate_ = rate > 0 ? rate : 44100;
  recorder_ = std::move(sink);
  framesRecorded_ = 0;
}

void VirtualAudio::finishRecording() {
  if (recorder_) recordSilenceUntil(framesIn(clock_.nowNs(), recordRate_));
}

void VirtualAudio::recordSilenceUntil(uint64_t frame) {
  const std::vector<int16_t> silence(2 * kChunkFrames, 0);
  while (framesRecorded_ < frame) {
    const int n = static_cast<int>(std::min(frame - framesRecorded_, kChunkFrames));
    recorder_(silence.data(), n);
    framesRecorded_ += static_cast<uint64_t>(n);
  }
}

void VirtualAudio::setMixOnDemand(bool onDemand) {
  mixOnDemand_ = onDemand;
  if (!onDemand) mixDue();
}

void VirtualAudio::mixDue() {
  mixUntil(clock_.nowNs());
}

void VirtualAudio::advance(uint64_t ns) {
  if (!mixOnDemand_) mixUntil(ns);
}

void VirtualAudio::mixUntil(uint64_t ns) {
  if (!open_ || !mix_) {
    if (recorder_) recordSilenceUntil(framesIn(ns, recordRate_));
    return;
  }
  // Counted from the opening, so the card pulls exactly as many frames as the time it was open.
  const uint64_t due = framesIn(ns - openedAtNs_, rate_);
  while (framesMixed_ < due) {
    int frames = static_cast<int>(std::min<uint64_t>(due - framesMixed_, kChunkFrames));
    buffer_.assign(static_cast<size_t>(frames) * 2, 0);
    mix_(buffer_.data(), frames);
    if (tap_) tap_(buffer_.data(), frames);
    if (recorder_) recorder_(buffer_.data(), frames);
    framesMixed_ += static_cast<uint64_t>(frames);
    framesRecorded_ += static_cast<uint64_t>(frames);
  }
}

}  // namespace kv
