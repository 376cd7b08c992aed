// The RIFF wave reader: any bytes either give a playable recording or nothing, and a recording that
// was read is written back and read again unchanged.
#include <cstdint>
#include <optional>

#include "fuzz/fuzz_support.h"
#include "platform/audio/wave_reader.h"
#include "platform/audio/wave_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<kv::WaveData> read = kv::readRiffWave(data, size);
  if (!read) return 0;
  const kv::WaveData& w = *read;
  const kv::WaveFormat& f = w.format;
  KV_FUZZ_CHECK(f.formatTag == 1 && f.channels > 0 && f.samplesPerSec > 0);
  KV_FUZZ_CHECK(f.bitsPerSample == 8 || f.bitsPerSample == 16);
  KV_FUZZ_CHECK(f.blockAlign == f.channels * f.bitsPerSample / 8);
  KV_FUZZ_CHECK(w.data.size() <= size);

  const std::vector<uint8_t> again = kv::writeRiffWave(w);
  const std::optional<kv::WaveData> v = kv::readRiffWave(again.data(), again.size());
  KV_FUZZ_CHECK(v && v->format == w.format && v->data == w.data);
  return 0;
}
