#include "platform/wave_format.h"

namespace kv {

namespace {
void put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(v & 0xFF);
  b.push_back(v >> 8);
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}
void tag(std::vector<uint8_t>& b, const char* t) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
}
}  // namespace

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

std::vector<uint8_t> writeRiffWave(const WaveData& w) {
  const uint32_t dataSize = static_cast<uint32_t>(w.data.size());
  const uint32_t pad = dataSize & 1;  // chunks are word aligned
  std::vector<uint8_t> out;
  out.reserve(44 + dataSize + pad);
  tag(out, "RIFF");
  put32(out, 4 + 8 + 16 + 8 + dataSize + pad);
  tag(out, "WAVE");
  tag(out, "fmt ");
  put32(out, 16);
  put16(out, w.format.formatTag);
  put16(out, w.format.channels);
  put32(out, w.format.samplesPerSec);
  put32(out, w.format.avgBytesPerSec);
  put16(out, w.format.blockAlign);
  put16(out, w.format.bitsPerSample);
  tag(out, "data");
  put32(out, dataSize);
  out.insert(out.end(), w.data.begin(), w.data.end());
  if (pad) out.push_back(0);
  return out;
}

}  // namespace kv
