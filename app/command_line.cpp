#include "app/command_line.h"

#include <charconv>

#include "platform/support/printable_text.h"

namespace kv {

namespace {

uint64_t parseNumber(const std::string& option, const std::string& text, uint64_t max) {
  uint64_t v = 0;
  const char* end = text.data() + text.size();
  auto r = std::from_chars(text.data(), end, v);
  if (text.empty() || r.ec != std::errc() || r.ptr != end || v > max) {
    throw UsageError(option + " expects a whole number from 0 to " + std::to_string(max) + ", not '" +
                     printable(text) + "'");
  }
  return v;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine c;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
      return args[++i];
    };
    // A file option given an empty name is a mistake, not the option left out.
    auto fileValue = [&]() -> const std::string& {
      const std::string& v = value();
      if (v.empty()) throw UsageError(a + " needs a file name, not an empty word");
      return v;
    };
    if (a == "--windowed") {
      c.windowed = true;
    } else if (a == "--headless") {
      c.headless = true;
    } else if (a == "--seed") {
      c.seed = static_cast<uint32_t>(parseNumber(a, value(), 0xFFFFFFFFu));
    } else if (a == "--refresh") {
      c.refreshHz = static_cast<int>(parseNumber(a, value(), 1000));
      c.refreshGiven = true;
    } else if (a == "--script") {
      c.scriptPath = fileValue();
    } else if (a == "--trace") {
      c.tracePath = fileValue();
    } else if (a == "--audio-out") {
      c.audioOutPath = fileValue();
    } else if (a == "--record") {
      c.recordPath = fileValue();
    } else if (a == "--replay") {
      c.replayPath = fileValue();
    } else if (a == "--shots-every") {
      c.shotsEveryMs = static_cast<uint32_t>(parseNumber(a, value(), kMaxShotIntervalMs));
      if (*c.shotsEveryMs == 0) throw UsageError("--shots-every expects at least 1 ms between screenshots");
    } else if (a == "--help" || a == "-h") {
      c.help = true;
    } else if (a == "--version") {
      c.version = true;
    } else {
      throw UsageError("unknown option '" + printable(a) + "' (see --help)");
    }
  }
  const bool replay = !c.replayPath.empty();
  if (replay) {
    // The recording holds the answers these would change.
    if (c.refreshGiven)
      throw UsageError("--refresh does not apply with --replay: the recording holds the rate");
    if (c.seed) throw UsageError("--seed does not apply with --replay: the recording holds the seed");
    if (!c.recordPath.empty()) throw UsageError("--record and --replay exclude each other");
  } else {
    if (c.shotsEveryMs) throw UsageError("--shots-every applies only with --replay");
  }
  if (!c.headless && !replay) {
    if (c.refreshGiven) throw UsageError("--refresh applies only with --headless");
    if (!c.scriptPath.empty()) throw UsageError("--script applies only with --headless or --replay");
    if (!c.audioOutPath.empty()) throw UsageError("--audio-out applies only with --headless or --replay");
  }
  if (c.headless && c.windowed) throw UsageError("--windowed and --headless exclude each other");
  return c;
}

const char* usageText() {
  return "usage: korvalundrix [--windowed] [--headless] [--seed N] [--refresh HZ] [--script FILE]\n"
         "                    [--trace FILE] [--audio-out FILE] [--record FILE]\n"
         "                    [--replay FILE [--shots-every MS]] [--help] [--version]\n"
         "\n"
         "  --windowed      play in a window instead of full screen\n"
         "  --headless      run without a window or sound card, on virtual time\n"
         "  --seed N        seed the random generator with N (default: the clock)\n"
         "  --refresh HZ    headless: the refresh rate the virtual display reports (default 60,\n"
         "                  0 or 1 = it cannot tell)\n"
         "  --script FILE   headless: timed input, one event a line:\n"
         "                    T move X Y | T click X Y | T down VK | T up VK | T state |\n"
         "                    T terrain | T shot FILE.bmp | T quit\n"
         "                  (T in ms, at most 86400000 = one day; the file at most 64 MiB)\n"
         "  --trace FILE    write JSON Lines: start, level_start, level_end, state, terrain, exit\n"
         "  --audio-out FILE  headless: write everything the virtual sound card played, from\n"
         "                  time 0 to the exit, as a 16-bit stereo WAV file\n"
         "  --record FILE   record the game (window or headless): every answer the game had from\n"
         "                  the machine, so that --replay can show the same game again\n"
         "  --replay FILE   run a recorded game headless from its recording; --trace writes the\n"
         "                  recorded run's trace, --audio-out its sound; --windowed shows it in a\n"
         "                  window at the recorded pace; a script may hold shot, state and\n"
         "                  terrain lines (T on the recorded clock)\n"
         "  --shots-every MS  with --replay: save the screen as shot-T.bmp every MS ms (T = the\n"
         "                  recorded clock's ms, 8 digits) in the working folder\n"
         "  --help          show this text\n"
         "  --version       show the version\n"
         "\n"
         "Exit status: 0 done; 1 cannot start; 2 a mistake in the options or the script, or a file\n"
         "that cannot be written, or a recording that is damaged or that the replay departs from; 3 a\n"
         "headless run or a replay in which an error was raised.\n"
         "\n"
         "A recording: the header \"KVRECORD\", format version, the program's version and the\n"
         "options that shape the run (full screen, seed), with a CRC-32; then blocks, each with\n"
         "its own CRC-32, of compressed records: one per question the game asked the machine\n"
         "(clock, events, joystick, display, sound card) with its arguments and its answer.\n";
}

}  // namespace kv
