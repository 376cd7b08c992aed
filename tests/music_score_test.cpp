// The music's score: the bar notation it is written in, and the arrangement's promises that the
// loop fits its length and ends in silence.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "assets/music/pattern_text.h"
#include "assets/music/score.h"
#include "assets/music/song_form.h"

namespace kv::music {
namespace {

TEST(MusicScoreTest, NoteNamesAndChords) {
  EXPECT_EQ(midiFromName("A4"), 69);
  EXPECT_EQ(midiFromName("C5"), 72);
  EXPECT_EQ(midiFromName("G#4"), 68);
  EXPECT_EQ(midiFromName("Bb3"), 58);
  EXPECT_EQ(midiFromName("C0"), 12);
  for (const char* bad : {"H4", "A", "A#", "C10", "c4", "A4x"}) {
    EXPECT_THROW(midiFromName(bad), std::invalid_argument) << bad;
  }
  const Chord am = chordFromName("Am");
  EXPECT_EQ(am.root, 9);
  EXPECT_EQ(am.degree(3), 3);
  const Chord e7 = chordFromName("E7");
  EXPECT_EQ(e7.root, 4);
  EXPECT_EQ(e7.degree(3), 4);
  EXPECT_EQ(e7.degree(7), 10);
  EXPECT_EQ(chordFromName("F#m").root, 6);
  EXPECT_EQ(chordFromName("Bb").root, 10);
  EXPECT_THROW(chordFromName("Amaj"), std::invalid_argument);
  EXPECT_THROW(am.degree(2), std::invalid_argument);
}

TEST(MusicScoreTest, BarsPlaceHoldAndRestNotes) {
  std::vector<NoteEvent> notes;
  addMelodyBar(notes, Voice::Lead, 2, "A4 - - C5 . . E5 - - - - - - - - -", 0.8, 12);
  ASSERT_EQ(notes.size(), 3u);
  const int64_t bar = 2 * int64_t{kFramesPerBar};
  EXPECT_EQ(notes[0].start, bar);
  EXPECT_EQ(notes[0].length, 3 * kFramesPerStep);
  EXPECT_EQ(notes[0].midi, 81);
  EXPECT_EQ(notes[1].start, bar + 3 * kFramesPerStep);
  EXPECT_EQ(notes[1].length, kFramesPerStep);  // the rest ends it
  EXPECT_EQ(notes[2].start, bar + 6 * kFramesPerStep);
  EXPECT_EQ(notes[2].length, 10 * kFramesPerStep);
  EXPECT_DOUBLE_EQ(notes[2].velocity, 0.8);

  notes.clear();
  addDegreeBar(notes, Voice::Bass, 0, "1 - 8 - 5 . 3 - 7 - - - 1 - - -", chordFromName("Am"), 45, 1.0);
  std::vector<int> pitches;
  for (const NoteEvent& n : notes) pitches.push_back(n.midi);
  EXPECT_EQ(pitches, (std::vector<int>{45, 57, 52, 48, 55, 45}));

  notes.clear();
  addDrumBar(notes, Voice::Snare, 1, "x...X...........", 0.5);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[1].start, kFramesPerBar + 4 * kFramesPerStep);
  EXPECT_GT(notes[1].velocity, notes[0].velocity);

  // A bar of the wrong length, a hold with nothing to hold, or an unknown step is refused.
  EXPECT_THROW(addMelodyBar(notes, Voice::Lead, 0, "A4 - -", 1.0), std::invalid_argument);
  EXPECT_THROW(addMelodyBar(notes, Voice::Lead, 0, "- A4 - - - - - - - - - - - - - -", 1.0),
               std::invalid_argument);
  EXPECT_THROW(
      addDegreeBar(notes, Voice::Bass, 0, "1 - 9 - - - - - - - - - - - - -", chordFromName("C"), 48, 1.0),
      std::invalid_argument);
  EXPECT_THROW(addDrumBar(notes, Voice::Kick, 0, "x...o...........", 1.0), std::invalid_argument);
}

TEST(MusicScoreTest, TheLoopIsFullAndEndsInSilence) {
  const std::vector<NoteEvent> notes = composeScore();
  ASSERT_FALSE(notes.empty());
  bool startsOnTheDownbeat = false;
  bool everyBarSounds[kBars] = {};
  const int64_t quietFrom = kSongFrames - 3 * kFramesPerStep;
  for (const NoteEvent& n : notes) {
    EXPECT_GE(n.start, 0);
    EXPECT_GT(n.length, 0);
    EXPECT_GT(n.velocity, 0.0);
    EXPECT_LE(n.velocity, 1.0);
    // Nothing is struck or held in the last three steps, which ring out into the loop's restart.
    EXPECT_LE(n.start + n.length, quietFrom) << "voice " << static_cast<int>(n.voice) << " at " << n.start;
    if (n.start == 0 && n.voice == Voice::Kick) startsOnTheDownbeat = true;
    everyBarSounds[n.start / kFramesPerBar] = true;
  }
  EXPECT_TRUE(startsOnTheDownbeat);
  for (int b = 0; b < kBars; ++b) EXPECT_TRUE(everyBarSounds[b]) << "bar " << b + 1;
  EXPECT_GE(kSongFrames, 60 * kSampleRate);
  EXPECT_EQ(composeScore().size(), notes.size());
}

}  // namespace
}  // namespace kv::music
