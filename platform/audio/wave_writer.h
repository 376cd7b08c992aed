#pragma once
// Writing a recording as a RIFF WAVE file.
#include <cstdint>
#include <vector>

#include "platform/audio/wave_format.h"

namespace kv {

// "RIFF", size, "WAVE", a 16-byte "fmt " chunk, the "data" chunk.
std::vector<uint8_t> writeRiffWave(const WaveData& wave);

}  // namespace kv
