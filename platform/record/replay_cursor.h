#pragma once
// The replay's place in a recording: each call of the game takes the next record, which must be the
// same call with the same arguments. The first difference (or damage, or the recording running out)
// stops the replay: the reason is kept as one line, the listener is told (the program ends its main
// loop), and from then on every call gets a harmless answer, so the game winds down without ever
// reading past what was recorded.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/record/recording_reader.h"

namespace kv {

class ReplayCursor {
 public:
  enum class Outcome {
    Running,
    Finished,      // the game ended where the recording ends
    Failed,        // a difference, damage, or a recording cut short
    ViewerClosed,  // the person watching closed the window
    ViewerFailed,  // the window to watch in could not be opened
  };

  // thisProgram ("korvalundrix 1.2.0") is named in a difference when it is not the recording's.
  ReplayCursor(const RecordingFile& file, const RecordingSummary& summary, std::string thisProgram);

  // The record answering the game's call now, or nullptr once the replay has stopped.
  const Record* take(Call call);
  // Whether the game asked the call with the argument it was recorded with; stops the replay if not.
  bool sameArgument(const Record* r, int field, int64_t asked);
  // The end of the run: the end mark must come next.
  const Record* takeEnd();

  void stop(Outcome outcome, const std::string& message);
  Outcome outcome() const { return outcome_; }
  bool stopped() const { return outcome_ != Outcome::Running; }
  const std::string& message() const { return message_; }

  void onStop(std::function<void()> listener) { stopListener_ = std::move(listener); }
  // Reports of the sound card going away are handed here, before the call they preceded.
  void onLost(std::function<void(const Record&)> handler) { lostHandler_ = std::move(handler); }
  // The recorded clock's last answer.
  uint32_t nowMs() const { return nowMs_; }

 private:
  bool peek();
  void differ(const std::string& what);

  RecordStream stream_;
  RecordingSummary summary_;
  std::string recordedProgram_, thisProgram_;
  Record next_, current_;
  bool haveNext_ = false;
  uint64_t calls_ = 0;
  uint32_t nowMs_ = 0;
  Outcome outcome_ = Outcome::Running;
  std::string message_;
  std::function<void()> stopListener_;
  std::function<void(const Record&)> lostHandler_;
};

}  // namespace kv
