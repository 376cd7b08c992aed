#pragma once
// Mixes the rendered notes into the stereo loop: each voice at its own level and place in the
// stereo field, a ping-pong echo on the lead and arpeggio, and a master that keeps the peaks
// below full scale and lets the very end fall to silence so the loop can start again cleanly.
#include <cstdint>
#include <vector>

#include "assets/music/note_event.h"

namespace kv::music {

// Interleaved left/right 16-bit samples, exactly kSongFrames frames.
std::vector<int16_t> mixSong(const std::vector<NoteEvent>& notes);

}  // namespace kv::music
