#include "assets/music/pattern_text.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "assets/music/song_form.h"

namespace kv::music {

namespace {

std::vector<std::string_view> tokens(std::string_view text) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const size_t j = text.find(' ', i);
    const size_t end = j == std::string_view::npos ? text.size() : j;
    if (end > i) out.push_back(text.substr(i, end - i));
    i = end;
  }
  return out;
}

int letterPitchClass(char c) {
  switch (c) {
    case 'C':
      return 0;
    case 'D':
      return 2;
    case 'E':
      return 4;
    case 'F':
      return 5;
    case 'G':
      return 7;
    case 'A':
      return 9;
    case 'B':
      return 11;
    default:
      return -1;
  }
}

[[noreturn]] void bad(std::string_view what, std::string_view text) {
  throw std::invalid_argument(std::string(what) + ": \"" + std::string(text) + "\"");
}

// Walks the sixteen tokens of a bar: `pitchOf` turns a token into a pitch (nullopt: not a note).
void addSteps(std::vector<NoteEvent>& out, Voice voice, int bar, std::string_view text, double velocity,
              const std::function<std::optional<int>(std::string_view)>& pitchOf) {
  const std::vector<std::string_view> steps = tokens(text);
  if (steps.size() != kStepsPerBar) bad("a bar needs 16 steps", text);
  const int64_t barStart = int64_t{bar} * kFramesPerBar;
  NoteEvent* open = nullptr;
  for (size_t i = 0; i < steps.size(); ++i) {
    const std::string_view t = steps[i];
    if (t == "-") {
      if (!open) bad("a hold without a note", text);
      open->length += kFramesPerStep;
    } else if (t == ".") {
      open = nullptr;
    } else {
      const std::optional<int> pitch = pitchOf(t);
      if (!pitch) bad("unknown step", t);
      out.push_back(
          {voice, barStart + static_cast<int64_t>(i) * kFramesPerStep, kFramesPerStep, *pitch, velocity});
      open = &out.back();
    }
  }
}

}  // namespace

int midiFromName(std::string_view name) {
  if (name.size() < 2) bad("not a note", name);
  int pc = letterPitchClass(name[0]);
  if (pc < 0) bad("not a note", name);
  size_t i = 1;
  if (name[i] == '#') {
    ++pc;
    ++i;
  } else if (name[i] == 'b') {
    --pc;
    ++i;
  }
  if (i + 1 != name.size() || name[i] < '0' || name[i] > '8') bad("not a note", name);
  const int octave = name[i] - '0';
  return 12 * (octave + 1) + pc;
}

int Chord::degree(int d) const {
  switch (d) {
    case 1:
      return 0;
    case 3:
      return minor ? 3 : 4;
    case 5:
      return 7;
    case 7:
      return 10;
    case 8:
      return 12;
    default:
      throw std::invalid_argument("unknown chord degree " + std::to_string(d));
  }
}

Chord chordFromName(std::string_view name) {
  if (name.empty() || letterPitchClass(name[0]) < 0) bad("not a chord", name);
  Chord c;
  c.root = letterPitchClass(name[0]);
  size_t i = 1;
  if (i < name.size() && (name[i] == '#' || name[i] == 'b')) {
    c.root = (c.root + (name[i] == '#' ? 1 : 11)) % 12;
    ++i;
  }
  if (i < name.size() && name[i] == 'm') {
    c.minor = true;
    ++i;
  }
  if (i < name.size() && name[i] == '7') {
    c.seventh = true;
    ++i;
  }
  if (i != name.size()) bad("not a chord", name);
  return c;
}

void addMelodyBar(std::vector<NoteEvent>& out, Voice voice, int bar, std::string_view text, double velocity,
                  int transpose) {
  addSteps(out, voice, bar, text, velocity,
           [&](std::string_view t) -> std::optional<int> { return midiFromName(t) + transpose; });
}

void addDegreeBar(std::vector<NoteEvent>& out, Voice voice, int bar, std::string_view text,
                  const Chord& chord, int base, double velocity) {
  addSteps(out, voice, bar, text, velocity, [&](std::string_view t) -> std::optional<int> {
    if (t.size() != 1 || t[0] < '1' || t[0] > '8') return std::nullopt;
    return base + chord.degree(t[0] - '0');
  });
}

void addDrumBar(std::vector<NoteEvent>& out, Voice voice, int bar, std::string_view text, double velocity) {
  if (text.size() != kStepsPerBar) bad("a drum bar needs 16 steps", text);
  const int64_t barStart = int64_t{bar} * kFramesPerBar;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') continue;
    if (c != 'x' && c != 'X') bad("unknown drum step", text);
    out.push_back({voice, barStart + static_cast<int64_t>(i) * kFramesPerStep, kFramesPerStep, 0,
                   velocity * (c == 'X' ? 1.0 : 0.7)});
  }
}

}  // namespace kv::music
