#include "platform/record/replay_cursor.h"

namespace kv {

ReplayCursor::ReplayCursor(const RecordingFile& file, const RecordingSummary& summary,
                           std::string thisProgram)
    : stream_(file),
      summary_(summary),
      recordedProgram_(file.header.program),
      thisProgram_(std::move(thisProgram)) {}

bool ReplayCursor::peek() {
  if (haveNext_) return true;
  try {
    haveNext_ = stream_.next(next_);
  } catch (const RecordingError& e) {
    stop(Outcome::Failed, std::string("the recording ") + e.what());
  }
  return haveNext_;
}

void ReplayCursor::stop(Outcome outcome, const std::string& message) {
  if (stopped()) return;
  outcome_ = outcome;
  message_ = message;
  if (stopListener_) stopListener_();
}

void ReplayCursor::differ(const std::string& what) {
  std::string line = "the replay differs from the recording at call " + std::to_string(calls_ + 1) + " (" +
                     std::to_string(nowMs_) + " ms on the recorded clock): " + what;
  if (recordedProgram_ != thisProgram_)
    line += " (recorded by " + recordedProgram_ + ", replayed by " + thisProgram_ + ")";
  stop(Outcome::Failed, line);
}

const Record* ReplayCursor::take(Call call) {
  if (stopped()) return nullptr;
  // A report of the card going away came from inside the call that follows it.
  while (peek() && next_.call == Call::AudioLost) {
    const Record lost = next_;
    haveNext_ = false;
    ++calls_;
    if (lostHandler_) lostHandler_(lost);
    if (stopped()) return nullptr;
  }
  if (stopped()) return nullptr;
  const std::string asked = layoutOf(call).what;
  if (!haveNext_) {
    if (summary_.complete) {
      differ("the game asks for " + asked + " after the recording's end");
    } else {
      stop(Outcome::Failed,
           "the recording stops at " + std::to_string(nowMs_) +
               " ms on the recorded clock without its end mark: the recorded run was cut short "
               "there (killed or crashed)");
    }
    return nullptr;
  }
  if (next_.call != call) {
    differ("the game asks for " + asked + " where the recording holds " + layoutOf(next_.call).what);
    return nullptr;
  }
  current_ = next_;
  haveNext_ = false;
  ++calls_;
  if (call == Call::Now) nowMs_ = static_cast<uint32_t>(current_.v[0]);
  return &current_;
}

bool ReplayCursor::sameArgument(const Record* r, int field, int64_t asked) {
  if (!r) return false;
  const int64_t recorded = r->v[static_cast<size_t>(field)];
  if (recorded == asked) return true;
  const CallLayout& layout = layoutOf(r->call);
  --calls_;  // the difference is in the call just taken
  differ("the game asks for " + std::string(layout.what) + " with " +
         layout.fields[static_cast<size_t>(field)].name + " " + std::to_string(asked) +
         " where the recording holds " + std::to_string(recorded));
  return false;
}

const Record* ReplayCursor::takeEnd() {
  if (stopped()) return nullptr;
  const Record* end = take(Call::End);
  if (end && outcome_ == Outcome::Running) outcome_ = Outcome::Finished;
  return end;
}

}  // namespace kv
