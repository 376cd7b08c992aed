#include "platform/headless/script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>

#include "platform/support/printable_text.h"

namespace kv {

namespace {

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

bool parseInt(const std::string& s, long long& out) {
  const char* end = s.data() + s.size();
  auto r = std::from_chars(s.data(), end, out);
  return r.ec == std::errc() && r.ptr == end;
}

}  // namespace

std::vector<ScriptEvent> parseScript(const std::string& text, const std::string& name) {
  std::vector<ScriptEvent> events;
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  uint64_t lastTime = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    auto fail = [&](const std::string& what) {
      throw ScriptError("script " + printablePath(name) + " line " + std::to_string(lineNo) + ": " + what);
    };
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::vector<std::string> w = splitWords(line);
    if (w.empty()) continue;
    long long t = 0;
    if (!parseInt(w[0], t) || t < 0) fail("'" + printable(w[0]) + "' is not a time in milliseconds");
    if (static_cast<uint64_t>(t) > kMaxScriptTimeMs) {
      fail("time " + printable(w[0]) + " is later than " + std::to_string(kMaxScriptTimeMs) +
           " (one day, the longest run a script may ask for)");
    }
    if (static_cast<uint64_t>(t) < lastTime)
      fail("time " + printable(w[0]) + " is earlier than the line before");
    lastTime = static_cast<uint64_t>(t);
    if (w.size() < 2) fail("an event is missing after the time");
    const std::string& verb = w[1];
    auto expectArgs = [&](size_t n) {
      if (w.size() != n + 2) fail("'" + printable(verb) + "' takes " + std::to_string(n) + " argument(s)");
    };
    auto number = [&](size_t i, long long lo, long long hi, const char* what) {
      long long v = 0;
      if (!parseInt(w[i], v) || v < lo || v > hi) {
        fail(std::string(what) + " '" + printable(w[i]) + "' is not in " + std::to_string(lo) + ".." +
             std::to_string(hi));
      }
      return static_cast<int>(v);
    };
    ScriptEvent se;
    se.timeMs = lastTime;
    Event& e = se.event;
    if (verb == "move" || verb == "click") {
      expectArgs(2);
      e.x = number(2, 0, 799, "x");
      e.y = number(3, 0, 599, "y");
      if (verb == "move") {
        e.kind = Event::Kind::MouseMove;
      } else {
        e.kind = Event::Kind::MouseDown;
        events.push_back(se);
        e.kind = Event::Kind::MouseUp;
      }
    } else if (verb == "down" || verb == "up") {
      expectArgs(1);
      e.vk = number(2, 1, 255, "virtual-key code");
      e.kind = verb == "down" ? Event::Kind::KeyDown : Event::Kind::KeyUp;
    } else if (verb == "state") {
      expectArgs(0);
      e.kind = Event::Kind::State;
    } else if (verb == "terrain") {
      expectArgs(0);
      e.kind = Event::Kind::Terrain;
    } else if (verb == "shot") {
      expectArgs(1);
      e.kind = Event::Kind::Shot;
      if (w[2].find('\0') != std::string::npos) fail("a file name cannot hold a NUL byte");
      e.path = w[2];
    } else if (verb == "quit") {
      expectArgs(0);
      e.kind = Event::Kind::Quit;
    } else {
      fail("unknown event '" + printable(verb) + "' (move, click, down, up, state, terrain, shot, quit)");
    }
    events.push_back(se);
  }
  return events;
}

std::vector<ScriptEvent> loadScript(const std::string& path) {
  auto fail = [&](const std::string& why) -> std::vector<ScriptEvent> {
    throw ScriptError("cannot read script " + printablePath(path) + ": " + why);
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return fail("it is a folder");
  const std::string tooLarge = "it is larger than " + std::to_string(kMaxScriptBytes >> 20) + " MiB";
  if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > kMaxScriptBytes) return fail(tooLarge);
  // Pipes and devices announce no size: read until the end, but never past the limit.
  std::string text;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(std::strerror(errno));
    if (n == 0) break;
    if (text.size() + static_cast<size_t>(n) > kMaxScriptBytes) return fail(tooLarge);
    text.append(chunk, static_cast<size_t>(n));
  }
  return parseScript(text, path);
}

}  // namespace kv
