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
    } else if (a == "--help" || a == "-h") {
      c.help = true;
    } else if (a == "--version") {
      c.version = true;
    } else {
      throw UsageError("unknown option '" + printable(a) + "' (see --help)");
    }
  }
  if (!c.headless) {
    if (c.refreshGiven) throw UsageError("--refresh applies only with --headless");
    if (!c.scriptPath.empty()) throw UsageError("--script applies only with --headless");
    if (!c.audioOutPath.empty()) throw UsageError("--audio-out applies only with --headless");
  }
  if (c.headless && c.windowed) throw UsageError("--windowed and --headless exclude each other");
  return c;
}

const char* usageText() {
  return "usage: korvalundrix [--windowed] [--headless] [--seed N] [--refresh HZ] [--script FILE]\n"
         "                    [--trace FILE] [--audio-out FILE] [--help] [--version]\n"
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
         "  --help          show this text\n"
         "  --version       show the version\n"
         "\n"
         "Exit status: 0 done; 1 cannot start; 2 a mistake in the options or the script, or a file\n"
         "that cannot be written; 3 a headless run in which an error was raised.\n";
}

}  // namespace kv
