#pragma once
// The program's options.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv {

struct CommandLine {
  bool windowed = false;
  bool headless = false;
  std::optional<uint32_t> seed;
  int refreshHz = 60;
  bool refreshGiven = false;
  std::string scriptPath;
  std::string tracePath;
  std::string audioOutPath;
  std::string recordPath;                // --record: write the run's recording here
  std::string replayPath;                // --replay: run the game from this recording
  std::optional<uint32_t> shotsEveryMs;  // --shots-every: a replay's screenshot every so many ms
  bool help = false;
  bool version = false;
};

// The longest interval between a replay's screenshots: one day.
constexpr uint64_t kMaxShotIntervalMs = 24ull * 60 * 60 * 1000;

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws UsageError with one line naming the problem.
CommandLine parseCommandLine(const std::vector<std::string>& args);

const char* usageText();

}  // namespace kv
