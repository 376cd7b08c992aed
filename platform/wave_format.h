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

// "RIFF", size, "WAVE", a 16-byte "fmt " chunk, the "data" chunk.
std::vector<uint8_t> writeRiffWave(const WaveData& wave);

// Accepts any chunk order and skips unknown chunks by their size. Throws EWaveError "Wave is invalid"
// for anything it cannot read safely (wrong tags, truncated or oversized chunks, missing chunks).
WaveData readRiffWave(const uint8_t* bytes, size_t size);

}  // namespace kv
