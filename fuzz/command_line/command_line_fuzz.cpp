// The command-line parser: the input is the argument list, the words separated by NUL bytes (as
// they reach main). Any list gives consistent options or one short, printable UsageError line.
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  if (!word.empty()) args.push_back(word);

  kv::CommandLine c;
  try {
    c = kv::parseCommandLine(args);
  } catch (const kv::UsageError& e) {
    const std::string m = e.what();
    KV_FUZZ_CHECK(m.size() < 300);
    for (const char ch : m) KV_FUZZ_CHECK(static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7F);
    return 0;
  }
  KV_FUZZ_CHECK(c.refreshHz >= 0 && c.refreshHz <= 1000);
  KV_FUZZ_CHECK(!(c.headless && c.windowed));
  const bool replay = !c.replayPath.empty();
  if (!c.headless && !replay)
    KV_FUZZ_CHECK(c.scriptPath.empty() && c.audioOutPath.empty() && !c.refreshGiven);
  // A replay takes its seed and refresh rate from the recording, and records nothing itself.
  if (replay) KV_FUZZ_CHECK(!c.seed && !c.refreshGiven && c.recordPath.empty());
  if (c.shotsEveryMs) KV_FUZZ_CHECK(replay && *c.shotsEveryMs >= 1);
  return 0;
}
