#pragma once
// The score is written as text, one bar of sixteen steps at a time:
//   melody bars   "A4 - - C5 - - E5 - D5 - C5 - B4 - C5 -"  a note name starts a note, "-" holds
//                 the note before it, "." is a rest;
//   degree bars   "1 - 8 - 1 - 8 - 5 - 8 - 1 - 5 -"  the same, with the chord's degrees 1, 3, 5,
//                 7 and 8 (the octave) in place of note names;
//   drum bars     "x...x...x...X..."  one character a step: '.' nothing, 'x' a hit, 'X' an accent.
// A bar with the wrong number of steps or an unknown token is an error (std::invalid_argument).
#include <string_view>
#include <vector>

#include "assets/music/note_event.h"

namespace kv::music {

// "A4" = 69, "C#5" = 73, "Bb3" = 58.
int midiFromName(std::string_view name);

// A chord by name: a root letter, an optional '#' or 'b', then "m" (minor) and/or "7" (minor seventh
// added), e.g. "Am", "F", "E7", "Dm".
struct Chord {
  int root = 9;  // pitch class, C = 0
  bool minor = false;
  bool seventh = false;
  // Semitones above the root of degree 1, 3, 5, 7 or 8.
  int degree(int d) const;
};
Chord chordFromName(std::string_view name);

// Each appends the bar's notes at bar `bar` (counted from 0) to `out`; `transpose` in semitones.
void addMelodyBar(std::vector<NoteEvent>& out, Voice voice, int bar, std::string_view text, double velocity,
                  int transpose = 0);
// Degrees sound from `base` (the MIDI note of degree 1).
void addDegreeBar(std::vector<NoteEvent>& out, Voice voice, int bar, std::string_view text,
                  const Chord& chord, int base, double velocity);
void addDrumBar(std::vector<NoteEvent>& out, Voice voice, int bar, std::string_view text, double velocity);

}  // namespace kv::music
