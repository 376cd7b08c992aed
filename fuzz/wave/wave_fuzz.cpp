// The RIFF wave reader: any bytes either give a playable recording or EWaveError "Wave is invalid",
// and a recording that was read is written back and read again unchanged.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/component_errors.h"
#include "platform/wave_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::WaveData w;
  try {
    w = kv::readRiffWave(data, size);
  } catch (const kv::EWaveError& e) {
    KV_FUZZ_CHECK(std::string(e.what()) == "Wave is invalid");
    return 0;
  }
  const kv::WaveFormat& f = w.format;
  KV_FUZZ_CHECK(f.formatTag == 1 && f.channels > 0 && f.samplesPerSec > 0);
  KV_FUZZ_CHECK(f.bitsPerSample == 8 || f.bitsPerSample == 16);
  KV_FUZZ_CHECK(f.blockAlign == f.channels * f.bitsPerSample / 8);
  KV_FUZZ_CHECK(w.data.size() <= size);

  const std::vector<uint8_t> again = kv::writeRiffWave(w);
  const kv::WaveData v = kv::readRiffWave(again.data(), again.size());
  KV_FUZZ_CHECK(v.format == w.format && v.data == w.data);
  return 0;
}
