// Placeholder until the music layer lands: every call fails, so the game runs without music.
#include "platform/audio_system.h"
#include "platform/music_stream.h"

namespace kv {

class Mixer {};

AudioSystem::AudioSystem(AudioDevice& device, int sampleRate)
    : device_(device), sampleRate_(sampleRate), mixer_(std::make_unique<Mixer>()) {}
AudioSystem::~AudioSystem() = default;
bool AudioSystem::acquire() {
  return false;
}
void AudioSystem::release() {}
bool AudioSystem::isOpen() const {
  return false;
}

void BASS_UseAudioSystem(AudioSystem*) {}
BOOL BASS_Init(int32_t, DWORD, DWORD, void*, const void*) {
  return kFalse;
}
BOOL BASS_Start() {
  return kFalse;
}
HSTREAM BASS_StreamCreateFile(BOOL, const void*, QWORD, QWORD, DWORD) {
  return 0;
}
QWORD BASS_StreamGetLength(HSTREAM) {
  return kPositionError;
}
BOOL BASS_ChannelPlay(DWORD, BOOL) {
  return kFalse;
}
QWORD BASS_ChannelGetPosition(DWORD) {
  return kPositionError;
}
BOOL BASS_ChannelStop(DWORD) {
  return kFalse;
}
BOOL BASS_StreamFree(HSTREAM) {
  return kFalse;
}
BOOL BASS_Stop() {
  return kFalse;
}
BOOL BASS_Free() {
  return kFalse;
}

}  // namespace kv
