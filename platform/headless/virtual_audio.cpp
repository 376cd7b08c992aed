#include "platform/headless/virtual_audio.h"

#include <algorithm>
#include <vector>

#include "platform/headless/virtual_clock.h"

namespace kv {

VirtualAudio::VirtualAudio(VirtualClock& clock) : clock_(clock) {
  clock_.onAdvance([this](uint64_t ns) { advance(ns); });
}

bool VirtualAudio::open(int sampleRate, MixCallback mix) {
  if (openFails_ || sampleRate <= 0) return false;
  open_ = true;
  rate_ = sampleRate;
  mix_ = std::move(mix);
  openedAtNs_ = clock_.nowNs();
  framesMixed_ = 0;
  return true;
}

void VirtualAudio::close() {
  open_ = false;
  mix_ = nullptr;
}

void VirtualAudio::advance(uint64_t ns) {
  if (!open_ || !mix_) return;
  const unsigned __int128 elapsed = ns - openedAtNs_;
  const uint64_t due = static_cast<uint64_t>(elapsed * static_cast<unsigned>(rate_) / 1'000'000'000u);
  std::vector<int16_t> buffer;
  while (framesMixed_ < due) {
    int frames = static_cast<int>(std::min<uint64_t>(due - framesMixed_, 4096));
    buffer.assign(static_cast<size_t>(frames) * 2, 0);
    mix_(buffer.data(), frames);
    if (tap_) tap_(buffer.data(), frames);
    framesMixed_ += static_cast<uint64_t>(frames);
  }
}

}  // namespace kv
