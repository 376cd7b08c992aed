#pragma once
// Writes a recording as the run goes: records gather into a block, which is compressed and written
// when it holds kBlockTargetBytes or is a second old, and before the program waits for long, so a
// crash or a kill loses at most the last second. Until the file exists, blocks wait in memory.
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/record/block_codec.h"
#include "platform/record/record_codec.h"
#include "platform/record/recording_format.h"

namespace kv {

class RecordingWriter {
 public:
  // Writes all the bytes or returns false (the writer then stops writing).
  using Sink = std::function<bool(const uint8_t* data, size_t size)>;

  explicit RecordingWriter(const RecordingHeader& header);

  void add(const Record& r);
  // Before the program blocks: writes the records waiting when the last block is a fifth of a second old.
  void flushBeforeWait();
  // From now on bytes go to sink; what waited is written at once.
  bool attach(Sink sink);
  // Adds the end mark, writes the last block; false when a write failed at any time.
  bool finish(const Record& end);
  bool finished() const { return finished_; }
  bool failed() const { return failed_; }
  uint64_t bytesWritten() const { return written_; }

 private:
  using SteadyClock = std::chrono::steady_clock;
  void flush();
  void emit(const std::vector<uint8_t>& bytes);

  RecordEncoder encoder_;
  BlockCodec codec_;
  std::vector<uint8_t> raw_;
  std::vector<uint8_t> waiting_;  // blocks made before there was a sink
  Sink sink_;
  uint32_t blockIndex_ = 0;
  SteadyClock::time_point lastFlush_;
  uint64_t written_ = 0;
  bool failed_ = false;
  bool finished_ = false;
};

}  // namespace kv
