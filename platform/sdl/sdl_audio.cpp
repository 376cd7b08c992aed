#include "platform/sdl/sdl_audio.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

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
  std::memset(stream, 0, static_cast<size_t>(len));
  if (audio->mix_) audio->mix_(reinterpret_cast<int16_t*>(stream), len / 4);
}

bool SdlAudio::open(int sampleRate, MixCallback mix) {
  if (device_ != 0) return true;
  std::string reason;
  {
    // Without a sound card ALSA complains at length while SDL looks for one; the game then plays
    // silently and one line says why.
    QuietStderr quiet;
    if (!started_) started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (started_) {
      SDL_AudioSpec want{};
      want.freq = sampleRate;
      want.format = AUDIO_S16SYS;
      want.channels = 2;
      want.samples = 1024;
      want.callback = &SdlAudio::callback;
      want.userdata = this;
      SDL_AudioSpec have{};
      mix_ = std::move(mix);
      // SDL converts format and channels itself; the rate may change only when the card cannot
      // play the one asked for (the mixer then mixes at the card's rate).
      device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
      if (device_ != 0) rate_ = have.freq;
    }
    if (device_ == 0) reason = SDL_GetError();
  }
  if (device_ == 0) {
    mix_ = nullptr;
    if (reason != reportedReason) std::fprintf(stderr, "korvalundrix: no sound (%s)\n", reason.c_str());
    reportedReason = reason;
    return false;
  }
  reportedReason.clear();
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudio::close() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  rate_ = 0;
  mix_ = nullptr;
}

void SdlAudio::deviceRemoved(uint32_t which) {
  if (device_ == 0 || which != device_) return;
  std::fprintf(stderr, "korvalundrix: the sound device went away; playing on without sound\n");
  close();
  reportLost();
}

void SdlAudio::lock() {
  if (device_ != 0) SDL_LockAudioDevice(device_);
}

void SdlAudio::unlock() {
  if (device_ != 0) SDL_UnlockAudioDevice(device_);
}

}  // namespace kv
