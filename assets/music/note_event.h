#pragma once
// One note of the score: which voice plays it, when, for how long and how loud.
#include <cstdint>

namespace kv::music {

enum class Voice { Lead, Harmony, Bass, Arp, Pad, Kick, Snare, HatClosed, HatOpen, Crash };

struct NoteEvent {
  Voice voice = Voice::Lead;
  int64_t start = 0;      // first frame
  int64_t length = 0;     // frames the note is held; its release rings on after
  int midi = 0;           // pitch, A4 = 69 (the drums ignore it)
  double velocity = 1.0;  // 0..1
};

}  // namespace kv::music
