#include "platform/sdl/sdl_audio.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "platform/sdl/quiet_stderr.h"

namespace kv {

namespace {

// The reason last printed for a card that would not open: the sound effects and the music each
// open the card in turn and hear the same reason, which is said once.
std::string reportedReason;

}  // namespace

SdlAudio::~SdlAudio() {
  close();
  if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudio::callback(void* self, uint8_t* stream, int len) {
  auto* audio = static_cast<SdlAudio*>(self);
  audio->lastPullNs_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                           std::memory_order_relaxed);
  std::memset(stream, 0, static_cast<size_t>(len));
  if (audio->mix_) audio->mix_(reinterpret_cast<int16_t*>(stream), len / 4);
}

uint32_t SdlAudio::openCard(bool allowRateChange, std::string& reason) {
  SDL_AudioSpec want{};
  want.freq = rate_;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = &SdlAudio::callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // SDL converts format and channels itself; the rate may change only when the card cannot play the
  // one asked for (the mixer then mixes at the card's rate). A card found again plays the mixer's rate
  // as it is, converted by SDL if need be.
  const uint32_t id =
      SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowRateChange ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE : 0);
  if (id == 0) {
    reason = SDL_GetError();
  } else if (allowRateChange) {
    rate_ = have.freq;
  }
  return id;
}

bool SdlAudio::open(int sampleRate, MixCallback mix) {
  if (open_) return true;
  std::string reason;
  uint32_t id = 0;
  {
    // Without a sound card ALSA complains at length while SDL looks for one; the game then plays
    // silently and one line says why.
    QuietStderr quiet;
    if (!started_) started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (started_) {
      mix_ = std::move(mix);
      rate_ = sampleRate;
      id = openCard(true, reason);
    } else {
      reason = SDL_GetError();
    }
  }
  if (id == 0) {
    mix_ = nullptr;
    rate_ = 0;
    if (reason != reportedReason) std::fprintf(stderr, "korvalundrix: no sound (%s)\n", reason.c_str());
    reportedReason = reason;
    return false;
  }
  reportedReason.clear();
  const char* driver = SDL_GetCurrentAudioDriver();
  driver_ = driver ? driver : "";
  lastPullNs_ = std::chrono::steady_clock::now().time_since_epoch().count();
  device_ = id;
  open_ = true;
  SDL_PauseAudioDevice(id, 0);
  return true;
}

void SdlAudio::close() {
  if (!open_) return;
  stopStandIn();
  const uint32_t id = device_.exchange(0);
  if (id != 0) SDL_CloseAudioDevice(id);
  open_ = false;
  rate_ = 0;
  mix_ = nullptr;
}

void SdlAudio::deviceRemoved(uint32_t which) {
  if (which == 0 || which != device_) return;
  stopStandIn();  // one that found the card that has now gone is done with it
  using Clock = std::chrono::steady_clock;
  const Clock::time_point lastPull{Clock::duration{lastPullNs_.load(std::memory_order_relaxed)}};
  lostAt_ = std::min(Clock::now(), std::max(lastPull, Clock::now() - std::chrono::seconds(10)));
  {
    std::lock_guard guard(mutex_);
    device_ = 0;
  }
  // Waits for SDL's thread of the lost card, so from here on only the stand-in mixes.
  SDL_CloseAudioDevice(which);
  try {
    standIn_ = std::thread(&SdlAudio::standIn, this);
  } catch (const std::system_error&) {
    // Without a thread to stand in, the sound stays gone as the audio system expects of a lost card.
    open_ = false;
    mix_ = nullptr;
    std::fprintf(stderr, "korvalundrix: the sound device went away; playing on without sound\n");
    reportLost();
    return;
  }
  std::fprintf(stderr, "korvalundrix: the sound device went away; trying to get it back\n");
}

void SdlAudio::stopStandIn() {
  if (!standIn_.joinable()) return;
  {
    std::lock_guard guard(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  standIn_.join();
  stopping_ = false;
}

void SdlAudio::standIn() {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = lostAt_;
  const int64_t rate = rate_;
  std::vector<int16_t> discard(2 * 1024);
  int64_t mixed = 0;
  std::unique_lock lock(mutex_);
  // The mix moves on by the time passed since the card went, and no further. A long stretch to make
  // up (the loss noticed late) goes in pieces, letting the game in between.
  const auto catchUp = [&] {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    for (const int64_t due = us * rate / 1'000'000; mixed < due;) {
      const int n = static_cast<int>(std::min<int64_t>(due - mixed, 1024));
      mix_(discard.data(), n);
      mixed += n;
      if (mixed < due) {
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
      }
    }
  };
  Clock::time_point nextTry = start + std::chrono::milliseconds(kRetryMs);
  while (!stopping_) {
    catchUp();
    if (Clock::now() >= nextTry) {
      lock.unlock();
      // SDL's driver holds on to the server it first reached; one that went away took that
      // connection with it, so the driver starts over before it can find a card.
      std::string reason;
      uint32_t id = 0;
      if (SDL_AudioInit(driver_.empty() ? nullptr : driver_.c_str()) == 0) id = openCard(false, reason);
      lock.lock();
      if (id != 0) {
        const bool wanted = !stopping_;
        if (wanted) {
          catchUp();
          lastPullNs_ = Clock::now().time_since_epoch().count();
          device_ = id;
        }
        lock.unlock();
        if (!wanted) {
          SDL_CloseAudioDevice(id);
          return;
        }
        SDL_PauseAudioDevice(id, 0);
        std::fprintf(stderr, "korvalundrix: the sound device is back\n");
        return;
      }
      nextTry = Clock::now() + std::chrono::milliseconds(kRetryMs);
    }
    wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopping_; });
  }
}

void SdlAudio::lock() {
  mutex_.lock();
  if (lockDepth_++ == 0) lockedDevice_ = device_;
  if (lockedDevice_ != 0) SDL_LockAudioDevice(lockedDevice_);
}

void SdlAudio::unlock() {
  if (lockedDevice_ != 0) SDL_UnlockAudioDevice(lockedDevice_);
  if (--lockDepth_ == 0) lockedDevice_ = 0;
  mutex_.unlock();
}

}  // namespace kv
