#include "platform/audio/wave_format.h"

namespace kv {

WaveFormat pcmFormat(uint32_t samplesPerSec, uint16_t bitsPerSample, uint16_t channels) {
  WaveFormat f;
  f.formatTag = 1;
  f.channels = channels;
  f.samplesPerSec = samplesPerSec;
  f.bitsPerSample = bitsPerSample;
  f.blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
  f.avgBytesPerSec = samplesPerSec * f.blockAlign;
  return f;
}

}  // namespace kv
