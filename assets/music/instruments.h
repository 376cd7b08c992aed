#pragma once
// The voices of the music: a few chip-style oscillators (band-limited pulse, triangle, noise)
// with envelopes and gentle filters, each rendering one note at a time.
#include <vector>

#include "assets/music/note_event.h"

namespace kv::music {

// One note, mono, from its first frame to the end of its release (the release rings on past the
// note's length). Noisy voices take their noise from `seed`, so a render is repeatable.
std::vector<double> renderNote(const NoteEvent& note, uint32_t seed);

// The frequency of a MIDI note in Hz (A4 = 69 = 440 Hz).
double midiHz(double midi);

}  // namespace kv::music
