#include "platform/record/recording_writer.h"

#include "platform/record/crc32.h"
#include "platform/support/byte_order.h"

namespace kv {

RecordingWriter::RecordingWriter(const RecordingHeader& header)
    : waiting_(encodeHeader(header)), lastFlush_(SteadyClock::now()) {
  raw_.reserve(kBlockTargetBytes + kMaxRecordText + 64);
}

void RecordingWriter::add(const Record& r) {
  if (finished_) return;
  encoder_.encode(r, raw_);
  if (raw_.size() >= kBlockTargetBytes || SteadyClock::now() - lastFlush_ >= std::chrono::seconds(1)) flush();
}

void RecordingWriter::flushBeforeWait() {
  if (!finished_ && !raw_.empty() && SteadyClock::now() - lastFlush_ >= std::chrono::milliseconds(200))
    flush();
}

void RecordingWriter::flush() {
  lastFlush_ = SteadyClock::now();
  if (raw_.empty()) return;
  const std::vector<uint8_t> packed = codec_.compress(raw_);
  std::vector<uint8_t> block;
  block.reserve(kBlockFrame + packed.size() + kBlockTrailer);
  block.push_back('B');
  putLe32(block, blockIndex_++);
  putLe32(block, static_cast<uint32_t>(packed.size()));
  putLe32(block, static_cast<uint32_t>(raw_.size()));
  putLe32(block, crc32(raw_.data(), raw_.size()));
  block.insert(block.end(), packed.begin(), packed.end());
  putLe32(block, crc32(block.data(), block.size()));
  raw_.clear();
  emit(block);
}

void RecordingWriter::emit(const std::vector<uint8_t>& bytes) {
  if (failed_) return;
  if (!sink_) {
    waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
    return;
  }
  if (!sink_(bytes.data(), bytes.size())) {
    failed_ = true;
    return;
  }
  written_ += bytes.size();
}

bool RecordingWriter::attach(Sink sink) {
  sink_ = std::move(sink);
  std::vector<uint8_t> waiting;
  waiting.swap(waiting_);
  emit(waiting);
  return !failed_;
}

bool RecordingWriter::finish(const Record& end) {
  if (finished_) return !failed_;
  encoder_.encode(end, raw_);
  flush();
  finished_ = true;
  return !failed_;
}

}  // namespace kv
