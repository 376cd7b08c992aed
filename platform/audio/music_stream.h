#pragma once
// The music layer: a small library with the BASS function names the game calls. It opens an MP3
// file, decodes it as it plays and feeds it to the shared mixer. Lengths and positions are bytes of
// decoded 16-bit stereo at the file's own sample rate (a mono file counts as stereo). Failed calls
// return 0 handles, FALSE or -1 positions; nothing here ever crashes the game, which simply runs
// without music.
//
// Without a sound card BASS_Init reports FALSE, yet the library counts as started: streams can be
// created and give their true length, and since nothing is heard their positions stay where they
// are. Before BASS_Init, or after BASS_Free, every call fails.
#include <cstdint>

namespace kv {

class AudioSystem;

using BOOL = int32_t;
using DWORD = uint32_t;
using QWORD = uint64_t;
using HSTREAM = uint32_t;

constexpr BOOL kTrue = 1;
constexpr BOOL kFalse = 0;
constexpr QWORD kPositionError = ~QWORD{0};

// The audio system the library plays through; set before BASS_Init. Switching to another one (or to
// null) first does what BASS_Free does.
void BASS_UseAudioSystem(AudioSystem* system);

// device 1 (or -1) is the default output, the only one there is; freq is ignored: the shared output keeps
// its own rate and streams are resampled to it. FALSE when already started, or without an audio
// system, or when the sound card cannot be opened (the library then runs silently).
BOOL BASS_Init(int32_t device, DWORD freq, DWORD flags, void* win, const void* clsid);
// Resumes the output (and the streams BASS_Stop paused).
BOOL BASS_Start();
// mem FALSE: file is a zero-terminated file name; offset 0 and length 0 mean the whole file (the only
// form supported). The file is decoded as it plays. 0 for a missing, empty or damaged file, or one
// that is not MP3.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
// Bytes of the decoded stream, kPositionError for an unknown handle.
QWORD BASS_StreamGetLength(HSTREAM handle);
// restart FALSE leaves a playing stream alone and resumes a stopped one where it stopped;
// restart TRUE (any non-zero value) starts from the beginning. A stream that reached its end stays at
// its end without sound until it is restarted. FALSE while the output is stopped.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
// Bytes the mixer has taken from the stream so far; the length once the stream has ended;
// kPositionError for an unknown handle.
QWORD BASS_ChannelGetPosition(DWORD handle);
// Stops playing; the position stays where it was.
BOOL BASS_ChannelStop(DWORD handle);
BOOL BASS_StreamFree(HSTREAM handle);
// Pauses the output: playing streams stop where they are until BASS_Start.
BOOL BASS_Stop();
// Frees every stream and lets go of the output; later calls on old handles fail harmlessly.
BOOL BASS_Free();

// The audio system calls this as it is destroyed: the library lets go of it (as BASS_Free does).
void forgetMusicAudioSystem(AudioSystem* system);

}  // namespace kv
