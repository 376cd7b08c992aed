#pragma once
// Reading a stored recording (a RIFF WAVE file of uncompressed PCM).
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/audio/wave_format.h"

namespace kv {

// Accepts any chunk order and skips unknown chunks by their size. Nothing for anything it cannot
// read safely (wrong tags, truncated or oversized chunks, missing chunks, a format the mixer cannot play).
std::optional<WaveData> readRiffWave(const uint8_t* bytes, size_t size);

}  // namespace kv
