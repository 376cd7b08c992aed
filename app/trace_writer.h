#pragma once
// Writes the trace file: one JSON object a line at startup, level start and end, on request, at exit.
// Each line is written as it happens, so a run cut short keeps what it traced so far.
#include <cstdint>
#include <memory>
#include <string>

#include "app/harness_output.h"
#include "core/game_observer.h"

namespace kv {

class Clock;

class TraceWriter : public GameObserver {
 public:
  explicit TraceWriter(Clock& clock) : clock_(clock) {}
  // Creates the file; false (the failure recorded in outputs) when it cannot be created.
  bool open(HarnessOutputs& outputs, const std::string& path);
  // Does nothing without a file, or once a write has failed.
  void write(const std::string& event);
  // The ground's columns, on request.
  void writeTerrain();
  // The same at a time given instead of read from the clock (a replay's own requests, which must not
  // ask the recorded clock anything).
  void write(const std::string& event, uint32_t timeMs);
  void writeTerrain(uint32_t timeMs);
  // Nothing more is written (a replay that stopped: what the game did after it is not the recorded run).
  void stop() { stopped_ = true; }
  // Closes the file; false when it or an earlier write failed.
  bool close();

  void levelStarted() override { write("level_start"); }
  void levelEnded() override { write("level_end"); }

 private:
  void writeLine(const std::string& record);

  Clock& clock_;
  std::unique_ptr<OutputFile> file_;
  bool stopped_ = false;
};

}  // namespace kv
