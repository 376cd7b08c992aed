// The music library: streams of MP3 files played as voices of the shared mixer.
#include "platform/audio/music_stream.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/audio/audio_system.h"
#include "platform/audio/mixer.h"
#include "platform/audio/mp3_decoder.h"

namespace kv {

namespace {

struct Stream {
  HSTREAM handle = 0;
  VoiceId voice = 0;
  QWORD lengthBytes = 0;
  bool pausedByStop = false;  // playing when the output was stopped; BASS_Start resumes it
};

struct Library {
  AudioSystem* system = nullptr;
  bool initialised = false;
  bool acquired = false;  // the output device is open for us
  bool outputStarted = false;
  std::vector<Stream> streams;
  HSTREAM nextHandle = 1;
};

Library& lib() {
  static Library library;
  return library;
}

Stream* findStream(DWORD handle) {
  auto& s = lib().streams;
  auto it = std::find_if(s.begin(), s.end(), [handle](const Stream& x) { return x.handle == handle; });
  return it == s.end() ? nullptr : &*it;
}

// Takes every stream off the mixer and forgets it.
void freeAllStreams() {
  Library& l = lib();
  if (l.system && !l.streams.empty()) {
    auto guard = l.system->lock();
    for (const Stream& s : l.streams) l.system->mixer().removeVoice(s.voice);
  }
  l.streams.clear();
}

}  // namespace

void BASS_UseAudioSystem(AudioSystem* system) {
  if (system == lib().system) return;
  BASS_Free();
  lib().system = system;
}

void forgetMusicAudioSystem(AudioSystem* system) {
  if (system && system == lib().system) BASS_UseAudioSystem(nullptr);
}

BOOL BASS_Init(int32_t device, DWORD freq, DWORD flags, void* win, const void* clsid) {
  (void)freq;  // the shared output runs at the audio system's rate; streams are resampled to it
  (void)flags;
  (void)win;
  (void)clsid;
  Library& l = lib();
  if (!l.system || l.initialised) return kFalse;
  if (device != 1 && device != -1) return kFalse;
  l.initialised = true;
  l.outputStarted = true;
  l.acquired = l.system->acquire();
  // Without a sound card the library still works silently (see the header), but says it failed.
  return l.acquired ? kTrue : kFalse;
}

BOOL BASS_Start() {
  Library& l = lib();
  if (!l.initialised) return kFalse;
  l.outputStarted = true;
  auto guard = l.system->lock();
  for (Stream& s : l.streams) {
    if (s.pausedByStop) l.system->mixer().play(s.voice, false);
    s.pausedByStop = false;
  }
  return kTrue;
}

BOOL BASS_Stop() {
  Library& l = lib();
  if (!l.initialised) return kFalse;
  l.outputStarted = false;
  auto guard = l.system->lock();
  for (Stream& s : l.streams) {
    if (!l.system->mixer().isPlaying(s.voice)) continue;
    l.system->mixer().stop(s.voice);
    s.pausedByStop = true;
  }
  return kTrue;
}

BOOL BASS_Free() {
  Library& l = lib();
  if (!l.initialised) return kFalse;
  freeAllStreams();
  if (l.acquired) l.system->release();
  l.acquired = false;
  l.initialised = false;
  l.outputStarted = false;
  return kTrue;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
  (void)flags;
  Library& l = lib();
  // Only whole files by name are supported: that is all the game asks for.
  if (!l.initialised || mem || !file || offset != 0 || length != 0) return 0;
  std::shared_ptr<StreamSource> decoder;
  QWORD lengthBytes = 0;
  if (auto d = Mp3Decoder::open(static_cast<const char*>(file))) {
    lengthBytes = static_cast<QWORD>(d->lengthFrames()) * 4;
    decoder = std::move(d);
  }
  if (!decoder) return 0;
  Stream s;
  s.lengthBytes = lengthBytes;
  {
    auto guard = l.system->lock();
    s.voice = l.system->mixer().addStream(std::move(decoder));
  }
  if (s.voice == 0) return 0;
  s.handle = l.nextHandle++;
  if (l.nextHandle == 0) l.nextHandle = 1;
  l.streams.push_back(s);
  return l.streams.back().handle;
}

QWORD BASS_StreamGetLength(HSTREAM handle) {
  const Stream* s = findStream(handle);
  return s ? s->lengthBytes : kPositionError;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
  Library& l = lib();
  Stream* s = findStream(handle);
  if (!s || !l.outputStarted) return kFalse;
  auto guard = l.system->lock();
  // A stream that plays already goes on undisturbed unless it is restarted; one at its end stays
  // there (silent) until it is restarted.
  l.system->mixer().play(s->voice, restart != kFalse);
  return kTrue;
}

QWORD BASS_ChannelGetPosition(DWORD handle) {
  Library& l = lib();
  const Stream* s = findStream(handle);
  if (!s) return kPositionError;
  // Asked on every tick: it reads what the mix last published and never waits for the mix.
  const Mixer& m = l.system->mixer();
  auto look = l.system->observe();
  // A stream that has run out counts as at its end, even when damage cut its decoding short.
  if (m.atEnd(s->voice)) return s->lengthBytes;
  return std::min(static_cast<QWORD>(m.position(s->voice)) * 4, s->lengthBytes);
}

BOOL BASS_ChannelStop(DWORD handle) {
  Library& l = lib();
  Stream* s = findStream(handle);
  if (!s) return kFalse;
  s->pausedByStop = false;
  auto guard = l.system->lock();
  l.system->mixer().stop(s->voice);
  return kTrue;
}

BOOL BASS_StreamFree(HSTREAM handle) {
  Library& l = lib();
  Stream* s = findStream(handle);
  if (!s) return kFalse;
  {
    auto guard = l.system->lock();
    l.system->mixer().removeVoice(s->voice);
  }
  l.streams.erase(l.streams.begin() + (s - l.streams.data()));
  return kTrue;
}

}  // namespace kv
