#pragma once
// The harness's input script: timed events, one a line, '#' starts a comment.
//   T move X Y | T click X Y | T down VK | T up VK | T state | T shot FILE | T quit
// T is virtual milliseconds; an event is delivered at the first message processing at or after T.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/event_source.h"

namespace kv {

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ScriptEvent {
  uint64_t timeMs = 0;
  Event event;
};

// Parses script text; name appears in error messages. Throws ScriptError naming the line and problem.
std::vector<ScriptEvent> parseScript(const std::string& text, const std::string& name);
// Reads and parses a script file.
std::vector<ScriptEvent> loadScript(const std::string& path);

}  // namespace kv
