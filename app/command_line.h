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
  bool help = false;
  bool version = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws UsageError with one line naming the problem.
CommandLine parseCommandLine(const std::vector<std::string>& args);

const char* usageText();

}  // namespace kv
