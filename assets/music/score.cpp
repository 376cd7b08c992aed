#include "assets/music/score.h"

#include <array>
#include <string_view>

#include "assets/music/pattern_text.h"
#include "assets/music/song_form.h"

namespace kv::music {

namespace {

using Bars8 = std::array<std::string_view, 8>;
using Chords8 = std::array<std::string_view, 8>;

// Form (bars counted from 1):
//   1-4   intro      drums, bass, the arpeggio from bar 3
//   5-12  theme A    the lead's first tune
//   13-20 theme B    the second tune, climbing higher
//   21-24 breakdown  half-time drums, pad and arpeggio, a snare roll into
//   25-32 theme A'   the first tune varied and higher, a triangle harmony under it
//   33-40 theme B'   the second tune doubled an octave down; the last bar stops on a drum hit
//                    and rings out to silence, so the loop begins again from nothing.
constexpr Chords8 kChordsA = {"Am", "F", "C", "G", "Am", "F", "G", "E7"};
constexpr Chords8 kChordsB = {"F", "G", "Em", "Am", "Dm", "G", "C", "E7"};
constexpr std::array<std::string_view, 4> kChordsIntro = {"Am", "F", "C", "G"};
constexpr std::array<std::string_view, 4> kChordsBreak = {"Am", "F", "Dm", "E7"};

constexpr Bars8 kThemeA = {
    "A4 - - C5 - - E5 - D5 - C5 - B4 - C5 -",  //
    "A4 - - - - - F4 - A4 - C5 - F5 - E5 -",   //
    "E5 - - G5 - - E5 - D5 - C5 - D5 - E5 -",  //
    "D5 - - - - - B4 - G4 - - - . . . .",      //
    "A4 - - C5 - - E5 - A5 - - - G5 - E5 -",   //
    "F5 - - E5 - - C5 - A4 - C5 - F5 - A5 -",  //
    "G5 - - F5 - - D5 - B4 - D5 - G5 - F5 -",  //
    "E5 - - - - - - - G#4 - - - B4 - D5 -",    //
};

constexpr Bars8 kThemeAVaried = {
    "A4 - C5 E5 - - A5 - G5 - E5 - D5 - E5 -",  //
    "F5 - - - E5 - C5 - A4 - C5 - F5 - G5 -",   //
    "E5 - - G5 - - C6 - B5 - G5 - E5 - G5 -",   //
    "D5 - - - - - B4 - D5 - G5 - B5 - D6 -",    //
    "C6 - - B5 - - A5 - E5 - - - A5 - C6 -",    //
    "A5 - - G5 - - F5 - C5 - F5 - A5 - C6 -",   //
    "B5 - - A5 - - G5 - D5 - G5 - B5 - D6 -",   //
    "B5 - - - G#5 - E5 - D5 - - - B4 - - -",    //
};

constexpr Bars8 kThemeB = {
    "C6 - - - A5 - - - F5 - G5 - A5 - - -",    //
    "B5 - - - G5 - - - D5 - E5 - G5 - - -",    //
    "E5 - - - G5 - B5 - A5 - G5 - E5 - - -",   //
    "A5 - - - - - E5 - - - A5 - C6 - B5 -",    //
    "A5 - - - F5 - - - D5 - E5 - F5 - - -",    //
    "G5 - - - D5 - - - B4 - C5 - D5 - - -",    //
    "E5 - - - C5 - G4 - C5 - E5 - G5 - C6 -",  //
    "B5 - - - - - - - G#5 - - - E5 - - -",     //
};
// The very last bar: the tune comes home to E and stops with the drums.
constexpr std::string_view kLastBarLead = "B5 - - - G#5 - - - E5 - - - E5 . . .";

// Bass lines in chord degrees.
constexpr std::string_view kBassDrive = "1 - 8 - 1 - 8 - 1 - 8 - 5 - 8 -";
constexpr std::string_view kBassGroove = "1 - - 1 - - 8 - 1 - 5 - 8 - 5 -";
constexpr std::string_view kBassLong = "1 - - - - - - - - - - - 5 - - -";
constexpr std::string_view kBassLast = "1 - 8 - 1 - 8 - 5 - 8 - 1 . . .";

// Arpeggios over the chord, one degree a step.
constexpr std::string_view kArpUp = "1 3 5 8 1 3 5 8 1 3 5 8 1 3 5 8";
constexpr std::string_view kArpWave = "1 3 5 8 5 3 1 3 5 8 5 3 1 3 5 8";

// Pads: two long chord tones a bar.
constexpr std::string_view kPadLow = "3 - - - - - - - - - - - - - - -";
constexpr std::string_view kPadHigh = "5 - - - - - - - 8 - - - - - - -";

// Harmony under theme A': a third and a fifth, half a bar each.
constexpr std::string_view kHarmony = "3 - - - - - - - 5 - - - - - - -";

// Drums.
constexpr std::string_view kKickFour = "X...x...X...x...";
constexpr std::string_view kKickSync = "X.....x...X..x..";
constexpr std::string_view kKickHalf = "X.......x.......";
constexpr std::string_view kKickLast = "X...x...X...X...";
constexpr std::string_view kSnareBack = "....X.......X...";
constexpr std::string_view kSnareFill = "....X.......X.xx";
constexpr std::string_view kSnareRoll = "x...x...x.x.xxxX";
constexpr std::string_view kSnareLast = "....X...x.xxX...";
constexpr std::string_view kHatsEights = "x.X.x.X.x.X.x.X.";
constexpr std::string_view kHatsOff = "..X...X...X...X.";
constexpr std::string_view kHatsLast = "x.X.x.X.x.X.....";
constexpr std::string_view kOpenHat = "..............x.";

// Bass notes sit between E2 and D#3.
int bassBase(const Chord& c) {
  return 40 + (c.root - 4 + 12) % 12;
}
// Arpeggios and pads start from the chord's root between A3 and G#4.
int upperBase(const Chord& c) {
  return 57 + (c.root - 9 + 12) % 12;
}

class Writer {
 public:
  std::vector<NoteEvent> notes;

  void chordBar(int bar, std::string_view chordName, std::string_view bass, std::string_view arp, bool pad,
                bool harmony) {
    const Chord c = chordFromName(chordName);
    addDegreeBar(notes, Voice::Bass, bar, bass, c, bassBase(c), 0.9);
    if (!arp.empty()) addDegreeBar(notes, Voice::Arp, bar, arp, c, upperBase(c) + 12, 0.5);
    if (pad) {
      addDegreeBar(notes, Voice::Pad, bar, kPadLow, c, upperBase(c), 0.5);
      addDegreeBar(notes, Voice::Pad, bar, kPadHigh, c, upperBase(c), 0.45);
    }
    if (harmony) addDegreeBar(notes, Voice::Harmony, bar, kHarmony, c, upperBase(c) + 12, 0.55);
  }
  void drums(int bar, std::string_view kick, std::string_view snare, std::string_view hats) {
    addDrumBar(notes, Voice::Kick, bar, kick, 1.0);
    if (!snare.empty()) addDrumBar(notes, Voice::Snare, bar, snare, 0.85);
    if (!hats.empty()) addDrumBar(notes, Voice::HatClosed, bar, hats, 0.5);
  }
  void crash(int bar) { addDrumBar(notes, Voice::Crash, bar, "x...............", 0.6); }
};

}  // namespace

std::vector<NoteEvent> composeScore() {
  Writer w;
  // Intro, bars 1-4.
  for (int i = 0; i < 4; ++i) {
    const int bar = i;
    w.chordBar(bar, kChordsIntro[i], kBassGroove, i >= 2 ? kArpUp : "", false, false);
    w.drums(bar, kKickSync, i == 3 ? "............X.xx" : "", kHatsOff);
  }
  w.crash(0);
  // Theme A, bars 5-12.
  for (int i = 0; i < 8; ++i) {
    const int bar = 4 + i;
    w.chordBar(bar, kChordsA[i], kBassDrive, kArpUp, false, false);
    addMelodyBar(w.notes, Voice::Lead, bar, kThemeA[i], 0.8);
    w.drums(bar, kKickFour, i == 7 ? kSnareFill : kSnareBack, kHatsEights);
  }
  addDrumBar(w.notes, Voice::HatOpen, 11, kOpenHat, 0.5);
  w.crash(4);
  // Theme B, bars 13-20.
  for (int i = 0; i < 8; ++i) {
    const int bar = 12 + i;
    w.chordBar(bar, kChordsB[i], kBassGroove, kArpWave, false, false);
    addMelodyBar(w.notes, Voice::Lead, bar, kThemeB[i], 0.8);
    w.drums(bar, kKickSync, i == 7 ? kSnareFill : kSnareBack, kHatsEights);
    if (i % 2 == 1) addDrumBar(w.notes, Voice::HatOpen, bar, kOpenHat, 0.45);
  }
  w.crash(12);
  // Breakdown, bars 21-24.
  for (int i = 0; i < 4; ++i) {
    const int bar = 20 + i;
    w.chordBar(bar, kChordsBreak[i], kBassLong, kArpWave, true, false);
    w.drums(bar, kKickHalf, i == 3 ? kSnareRoll : "", kHatsOff);
  }
  // Theme A', bars 25-32.
  for (int i = 0; i < 8; ++i) {
    const int bar = 24 + i;
    w.chordBar(bar, kChordsA[i], kBassDrive, kArpUp, false, true);
    addMelodyBar(w.notes, Voice::Lead, bar, kThemeAVaried[i], 0.8);
    w.drums(bar, kKickFour, i == 7 ? kSnareFill : kSnareBack, kHatsEights);
  }
  addDrumBar(w.notes, Voice::HatOpen, 31, kOpenHat, 0.5);
  w.crash(24);
  // Theme B', bars 33-40.
  for (int i = 0; i < 8; ++i) {
    const int bar = 32 + i;
    const bool last = i == 7;
    w.chordBar(bar, kChordsB[i], last ? kBassLast : kBassGroove, last ? "" : kArpWave, false, false);
    const std::string_view lead = last ? kLastBarLead : kThemeB[i];
    addMelodyBar(w.notes, Voice::Lead, bar, lead, 0.8);
    addMelodyBar(w.notes, Voice::Harmony, bar, lead, 0.5, -12);
    w.drums(bar, last ? kKickLast : kKickSync, last ? kSnareLast : kSnareBack,
            last ? kHatsLast : kHatsEights);
  }
  w.crash(32);
  return w.notes;
}

}  // namespace kv::music
