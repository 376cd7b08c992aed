#pragma once
// The recording file: a header, then blocks of records.
//
//   header  "KVRECORD", version (u16), length of the text (u16), the text, CRC-32 of all before it
//   text    "key=value" lines: format, program (name and version), backend, fullscreen, seed
//   block   'B', index (u32, from 0), compressed length (u32), record bytes (u32), CRC-32 of the
//           record bytes (u32), the compressed bytes, CRC-32 of the block before it (u32)
//
// Numbers are little-endian. Blocks are compressed in order by one BlockCodec and hold whole records
// (record_codec.h); the last record of a complete recording is the end mark (Call::End).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv {

constexpr char kRecordingMagic[8] = {'K', 'V', 'R', 'E', 'C', 'O', 'R', 'D'};
constexpr uint16_t kRecordingVersion = 1;
constexpr size_t kRecordingHeaderFixed = 8 + 2 + 2;
constexpr size_t kMaxHeaderText = 4096;
constexpr size_t kBlockFrame = 1 + 4 * 4;  // before the compressed bytes
constexpr size_t kBlockTrailer = 4;
// A writer ends a block at this many record bytes (or after a second); a reader takes up to the max.
constexpr size_t kBlockTargetBytes = 60 * 1024;
constexpr size_t kMaxBlockBytes = 128 * 1024;
constexpr size_t kMaxCompressedBlock = 2 * kMaxBlockBytes + 64;
// The largest recording read: far more than a day of play.
constexpr size_t kMaxRecordingBytes = size_t{64} << 20;

// The options that shape the run, and who made it.
struct RecordingHeader {
  std::string program;           // "korvalundrix 1.2.0"
  std::string backend;           // "window" or "headless"
  bool fullScreen = true;        // the display's full-screen option
  std::optional<uint32_t> seed;  // --seed, when given
};

// A recording that cannot be replayed: what is wrong with it, in one line.
class RecordingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::vector<uint8_t> encodeHeader(const RecordingHeader& header);
// Reads the header at the start of bytes and sets `size` to its length. Throws RecordingError.
RecordingHeader decodeHeader(const std::vector<uint8_t>& bytes, size_t& size, bool checkSums = true);

}  // namespace kv
