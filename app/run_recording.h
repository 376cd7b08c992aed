#pragma once
// --record and --replay for one run of the program. A recording wraps whichever back end runs the
// game and writes its file from the run's first moment (the bytes wait in memory until the run has
// really started and the file may be made). A replay reads and checks the whole recording first, then
// answers the game from it; the harness's own requests during a replay (screenshots, state and terrain
// lines) are served at each event poll, on the recorded clock, without asking the recording anything.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/harness_output.h"
#include "app/trace_writer.h"
#include "core/form.h"
#include "platform/headless/script.h"
#include "platform/record/recording_platform.h"
#include "platform/record/replay_source.h"

namespace kv {

// "korvalundrix 1.2.0"
std::string programName();

class RunRecording {
 public:
  RunRecording(const CommandLine& cl, const Platform& inner);
  Platform platform() { return platform_.platform(); }
  // Creates the file and writes what was recorded so far; false (the failure recorded) when it cannot.
  bool create(HarnessOutputs& outputs, const std::string& path);
  // Writes the end mark and closes the file.
  bool finish();

 private:
  RecordingWriter writer_;
  RecordingPlatform platform_;
  std::unique_ptr<OutputFile> file_;
};

class RunReplay {
 public:
  // Reads and checks the recording. Throws RecordingError, whose text follows "the recording F".
  explicit RunReplay(const std::string& path);
  Platform platform() { return source_->platform(); }
  ReplaySource& source() { return *source_; }
  // The options the recorded run had.
  FormSettings settings() const;
  // A window to watch the replay in.
  void watchIn(const Platform& viewer);
  // The script's screenshots, state and terrain lines and the screenshots every shotsEveryMs, at the
  // first event poll at or after their time on the recorded clock.
  void serveHarness(TraceWriter& trace, HarnessOutputs& outputs, std::vector<ScriptEvent> script,
                    std::optional<uint32_t> shotsEveryMs);

 private:
  void tick(uint32_t ms);

  std::unique_ptr<ReplaySource> source_;
  TraceWriter* trace_ = nullptr;
  HarnessOutputs* outputs_ = nullptr;
  std::vector<ScriptEvent> script_;
  size_t nextEvent_ = 0;
  std::optional<uint32_t> shotsEvery_;
  uint64_t nextShotMs_ = 0;
};

// Why a script cannot go with a replay (it would change what the game is asked), or none.
std::optional<std::string> replayScriptProblem(const std::vector<ScriptEvent>& script);

}  // namespace kv
