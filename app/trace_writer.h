#pragma once
// Writes the trace file: one JSON object a line at startup, level start and end, on request, at exit.
#include <cstdio>
#include <string>

#include "core/game_observer.h"

namespace kv {

class Clock;

class TraceWriter : public GameObserver {
 public:
  TraceWriter(Clock& clock) : clock_(clock) {}
  ~TraceWriter() override;
  // False when the file cannot be created.
  bool open(const std::string& path);
  void write(const std::string& event);
  // The ground's columns, on request.
  void writeTerrain();

  void levelStarted() override { write("level_start"); }
  void levelEnded() override { write("level_end"); }

 private:
  void writeLine(const std::string& record);

  Clock& clock_;
  std::FILE* file_ = nullptr;
};

}  // namespace kv
