// The music layer as the game uses it, on a headless sound card: open a file through
// BASS_StreamCreateFile, play it past its end, restart it, free it. The input is the file. Whatever
// it holds (damaged MP3, another format, noise), nothing crashes, lengths are whole stereo frames
// and positions never pass the length.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "platform/audio/audio_system.h"
#include "platform/audio/music_stream.h"
#include "platform/headless/virtual_audio.h"
#include "platform/headless/virtual_clock.h"

namespace {

struct Machine {
  kv::VirtualClock clock;
  kv::VirtualAudio card{clock};
  // A very slow sound card (4 kHz): the mixer's work per listened second is small, while every
  // stream is still decoded to its end and resampled on the way out. At 11025 Hz mixing was most of
  // the time of an input, and a run of ten million inputs took hours.
  kv::AudioSystem audio{card, 4000};
  Machine() {
    kv::BASS_UseAudioSystem(&audio);
    KV_FUZZ_CHECK(kv::BASS_Init(1, 44100, 0, nullptr, nullptr) == kv::kTrue);
    kv::BASS_Start();
  }
  // Lets the sound card take ms of sound.
  void play(uint64_t ms) { clock.advanceTo(clock.nowNs() + ms * 1'000'000); }
};

// Listens in short steps until the stream has reached its end (or a few seconds at most): the
// mixer's work grows with the time listened.
constexpr int kStepMs = 50;
constexpr int kMaxSteps = 80;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Machine machine;
  kv::fuzz::MemoryFile file(data, size);
  const kv::HSTREAM stream = kv::BASS_StreamCreateFile(kv::kFalse, file.path().c_str(), 0, 0, 0);
  if (stream == 0) {
    KV_FUZZ_CHECK(kv::BASS_StreamGetLength(stream) == kv::kPositionError);
    KV_FUZZ_CHECK(kv::BASS_ChannelPlay(stream, kv::kFalse) == kv::kFalse);
    return 0;
  }
  const kv::QWORD length = kv::BASS_StreamGetLength(stream);
  KV_FUZZ_CHECK(length != kv::kPositionError && length % 4 == 0);
  KV_FUZZ_CHECK(kv::BASS_ChannelGetPosition(stream) == 0);

  KV_FUZZ_CHECK(kv::BASS_ChannelPlay(stream, kv::kFalse) == kv::kTrue);
  kv::QWORD position = 0;
  for (int step = 0; step < kMaxSteps && position != length; ++step) {
    machine.play(kStepMs);
    const kv::QWORD now = kv::BASS_ChannelGetPosition(stream);
    // A playing stream moves on until it reaches its end: music never gets stuck.
    KV_FUZZ_CHECK((now > position || now == length) && now <= length);
    position = now;
  }

  // The game's loop: stop, then play from the start.
  kv::BASS_ChannelStop(stream);
  KV_FUZZ_CHECK(kv::BASS_ChannelPlay(stream, kv::kTrue) == kv::kTrue);
  KV_FUZZ_CHECK(kv::BASS_ChannelGetPosition(stream) == 0);
  machine.play(50);
  KV_FUZZ_CHECK(kv::BASS_ChannelGetPosition(stream) <= length);
  KV_FUZZ_CHECK(kv::BASS_StreamFree(stream) == kv::kTrue);
  KV_FUZZ_CHECK(kv::BASS_ChannelGetPosition(stream) == kv::kPositionError);
  return 0;
}
