#pragma once
// Reads a recording: the whole file is checked before anything is replayed (header, every block's
// frame and checksum, then every record decoded and its values checked), so a damaged file is refused
// with one line before the game starts.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/record/block_codec.h"
#include "platform/record/record_codec.h"
#include "platform/record/recording_format.h"

namespace kv {

struct RecordingBlock {
  size_t offset = 0;  // of the compressed bytes
  uint32_t packedSize = 0, rawSize = 0, rawCrc = 0;
};

struct RecordingFile {
  RecordingHeader header;
  std::vector<uint8_t> bytes;
  std::vector<RecordingBlock> blocks;
};

// Checks the header and the blocks' frames and checksums (checkSums false: only their frames, for the
// fuzz target to reach the decoding). Throws RecordingError.
RecordingFile parseRecording(std::vector<uint8_t> bytes, bool checkSums = true);
// Reads a file (at most kMaxRecordingBytes) and parses it. Throws RecordingError.
RecordingFile loadRecording(const std::string& path);

// The records of a file in order.
class RecordStream {
 public:
  explicit RecordStream(const RecordingFile& file, bool checkSums = true);
  // False after the last record. Throws RecordingError for a damaged block or record, and for records
  // after the end mark.
  bool next(Record& r);
  // How many records were read so far.
  uint64_t count() const { return count_; }

 private:
  bool loadBlock();

  const RecordingFile& file_;
  bool checkSums_;
  BlockCodec codec_;
  RecordDecoder decoder_;
  std::vector<uint8_t> raw_;
  size_t at_ = 0;
  size_t nextBlock_ = 0;
  uint64_t count_ = 0;
  bool ended_ = false;
};

// What a whole pass over the records found.
struct RecordingSummary {
  uint64_t records = 0;
  bool complete = false;             // ends with the end mark
  uint32_t firstMs = 0, lastMs = 0;  // the first and last clock answers
};
// Reads every record once. Throws RecordingError.
RecordingSummary checkRecords(const RecordingFile& file, bool checkSums = true);

}  // namespace kv
