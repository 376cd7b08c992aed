#include "platform/audio/wave_writer.h"

#include "platform/support/byte_order.h"

namespace kv {

namespace {
void tag(std::vector<uint8_t>& b, const char* t) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
}
}  // namespace

std::vector<uint8_t> writeRiffWave(const WaveData& w) {
  const uint32_t dataSize = static_cast<uint32_t>(w.data.size());
  const uint32_t pad = dataSize & 1;  // chunks are word aligned
  std::vector<uint8_t> out;
  out.reserve(44 + dataSize + pad);
  tag(out, "RIFF");
  putLe32(out, 4 + 8 + 16 + 8 + dataSize + pad);
  tag(out, "WAVE");
  tag(out, "fmt ");
  putLe32(out, 16);
  putLe16(out, w.format.formatTag);
  putLe16(out, w.format.channels);
  putLe32(out, w.format.samplesPerSec);
  putLe32(out, w.format.avgBytesPerSec);
  putLe16(out, w.format.blockAlign);
  putLe16(out, w.format.bitsPerSample);
  tag(out, "data");
  putLe32(out, dataSize);
  out.insert(out.end(), w.data.begin(), w.data.end());
  if (pad) out.push_back(0);
  return out;
}

}  // namespace kv
