#pragma once
// Recordings as stored: complete RIFF WAVE files of uncompressed PCM.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

// The 16-byte "fmt " chunk.
struct WaveFormat {
  uint16_t formatTag = 1;  // 1 = PCM
  uint16_t channels = 1;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  bool operator==(const WaveFormat&) const = default;
};

struct WaveData {
  WaveFormat format;
  std::vector<uint8_t> data;  // the "data" chunk's bytes
};

// Builds a PCM format record with the derived byte rate and block alignment.
WaveFormat pcmFormat(uint32_t samplesPerSec, uint16_t bitsPerSample, uint16_t channels);

}  // namespace kv
