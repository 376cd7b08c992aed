// Reading a RIFF WAVE recording. The chunks may come in any order; unknown chunks are skipped by
// their size (chunks start on even offsets, so an odd size is followed by one pad byte). Every size
// is checked against the bytes held before anything is read.
//
// Besides the tags and the chunk sizes, the format record must describe what the mixer can play:
// PCM (format tag 1), at least one channel, 8 or 16 bits, a block alignment of channels x bytes per
// sample and a sample rate above 0. A "fmt " or "data" chunk appearing twice is refused as well.
#include "platform/audio/wave_reader.h"

#include <cstdint>
#include <cstring>

#include "platform/support/byte_order.h"

namespace kv {

namespace {

// Thrown inside the reader only: any check that fails ends the whole read.
struct Unreadable {};

[[noreturn]] void invalid() {
  throw Unreadable{};
}

bool isTag(const uint8_t* p, const char* tag) {
  return std::memcmp(p, tag, 4) == 0;
}

WaveFormat readFormat(const uint8_t* p) {
  WaveFormat f;
  f.formatTag = getLe16(p);
  f.channels = getLe16(p + 2);
  f.samplesPerSec = getLe32(p + 4);
  f.avgBytesPerSec = getLe32(p + 8);
  f.blockAlign = getLe16(p + 12);
  f.bitsPerSample = getLe16(p + 14);
  if (f.formatTag != 1 || f.channels == 0 || f.samplesPerSec == 0) invalid();
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) invalid();
  if (f.blockAlign != f.channels * (f.bitsPerSample / 8)) invalid();
  return f;
}

WaveData readChecked(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size < 12) invalid();
  if (!isTag(bytes, "RIFF") || !isTag(bytes + 8, "WAVE")) invalid();
  const uint64_t riffSize = getLe32(bytes + 4);
  if (riffSize < 4 || riffSize > size - 8) invalid();
  // Whatever follows the RIFF chunk is not part of the recording.
  const uint64_t end = 8 + riffSize;

  WaveData wave;
  bool haveFormat = false, haveData = false;
  uint64_t pos = 12;
  while (pos < end) {
    if (end - pos < 8) invalid();
    const uint8_t* header = bytes + pos;
    const uint64_t chunkSize = getLe32(header + 4);
    const uint64_t body = pos + 8;
    if (chunkSize > end - body) invalid();
    if (isTag(header, "fmt ")) {
      if (haveFormat || chunkSize < 16) invalid();
      wave.format = readFormat(bytes + body);
      haveFormat = true;
    } else if (isTag(header, "data")) {
      if (haveData) invalid();
      wave.data.assign(bytes + body, bytes + body + chunkSize);
      haveData = true;
    }
    // The pad byte after an odd-sized chunk may be missing at the very end.
    pos = body + chunkSize + (chunkSize & 1);
  }
  if (!haveFormat || !haveData) invalid();
  return wave;
}

}  // namespace

std::optional<WaveData> readRiffWave(const uint8_t* bytes, size_t size) {
  try {
    return readChecked(bytes, size);
  } catch (const Unreadable&) {
    return std::nullopt;
  }
}

}  // namespace kv
