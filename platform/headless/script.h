#pragma once
// The harness's input script: timed events, one a line, '#' starts a comment.
//   T move X Y | T click X Y | T down VK | T up VK | T state | T shot FILE | T quit
// T is virtual milliseconds; an event is delivered at the first message processing at or after T.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/seam/event_source.h"

namespace kv {

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ScriptEvent {
  uint64_t timeMs = 0;
  Event event;
};

// The latest time a script may name: one day of virtual time. Even a day spent on the title screen
// runs in well under an hour, and a day holds hundreds of levels.
constexpr uint64_t kMaxScriptTimeMs = 24ull * 60 * 60 * 1000;
// The largest script file read (64 MiB); anything larger is refused before it can fill memory.
constexpr size_t kMaxScriptBytes = size_t{64} << 20;

// Parses script text; name appears in error messages. Throws ScriptError naming the line and problem,
// in one line whatever the text holds.
std::vector<ScriptEvent> parseScript(const std::string& text, const std::string& name);
// Reads and parses a script file (a regular file, a pipe or a device, not a folder, at most
// kMaxScriptBytes). Throws ScriptError when it cannot be read.
std::vector<ScriptEvent> loadScript(const std::string& path);

}  // namespace kv
