#pragma once
// The music: a forty-bar loop in A minor at 126 beats per minute, written out as note events.
#include <vector>

#include "assets/music/note_event.h"

namespace kv::music {

// Every note of the loop, in no particular order. Deterministic: the same every call.
std::vector<NoteEvent> composeScore();

}  // namespace kv::music
