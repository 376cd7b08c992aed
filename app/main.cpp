// KORVALUNDRIX: reads the command line and runs the game (see app/program.h for the exit statuses).
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/harness_output.h"
#include "app/program.h"

int main(int argc, char** argv) {
  kv::treatBrokenPipesAsErrors();
  kv::CommandLine cl;
  try {
    cl = kv::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const kv::UsageError& e) {
    std::fprintf(stderr, "korvalundrix: %s\n", e.what());
    return kv::kExitUsageError;
  }
  if (cl.help) {
    std::fputs(kv::usageText(), stdout);
    return kv::kExitOk;
  }
  if (cl.version) {
    std::printf("korvalundrix %s\n", KV_VERSION);
    return kv::kExitOk;
  }
  return kv::runProgram(cl);
}
