#pragma once
// The music layer: a small library with the BASS function names the game calls. It opens an MP3
// file, decodes it as it plays and feeds it to the shared mixer. Lengths and positions are bytes of
// decoded 16-bit stereo at the file's own sample rate. Failed calls return 0 handles, FALSE or -1
// positions; nothing here ever crashes the game, which simply runs without music.
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

// The audio system the library plays through; set before BASS_Init (null detaches).
void BASS_UseAudioSystem(AudioSystem* system);

// device 1 is the default output; freq is the output rate asked for.
BOOL BASS_Init(int32_t device, DWORD freq, DWORD flags, void* win, const void* clsid);
BOOL BASS_Start();
// mem FALSE: file is a zero-terminated file name; offset 0 and length 0 mean the whole file.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
// Bytes of the decoded stream, kPositionError for an unknown handle.
QWORD BASS_StreamGetLength(HSTREAM handle);
// restart FALSE leaves a playing stream alone and resumes a stopped one where it stopped;
// restart TRUE (any non-zero value) starts from the beginning.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
// Bytes played so far; kPositionError for an unknown handle.
QWORD BASS_ChannelGetPosition(DWORD handle);
// Stops playing; the position stays where it was.
BOOL BASS_ChannelStop(DWORD handle);
BOOL BASS_StreamFree(HSTREAM handle);
BOOL BASS_Stop();
// Frees every stream and lets go of the output; later calls on old handles fail harmlessly.
BOOL BASS_Free();

}  // namespace kv
