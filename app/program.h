#pragma once
// One run of the program after its options were read: the back end, the game window, the harness's
// files, and the exit status.
#include <functional>

#include "app/command_line.h"

namespace kv {

class HeadlessBackend;
class TApplication;

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitCannotStart = 1;  // no display, no matrix font
constexpr int kExitUsageError = 2;   // the options or the script, or a harness file that cannot be written
constexpr int kExitErrorInRun = 3;   // a headless run raised an error in an event handler (printed then)

struct ProgramHooks {
  // Tests reach into a headless run just before its main loop starts (faults, misbehaving handlers).
  std::function<void(HeadlessBackend&, TApplication&)> beforeRun;
};

int runProgram(const CommandLine& cl, const ProgramHooks& hooks = {});

}  // namespace kv
