// The stored picture reader: any bytes either give a consistent picture or EDibError, and a
// picture that was read is written back and read again unchanged.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "gfx/dib_reader.h"
#include "gfx/dib_writer.h"
#include "platform/components/component_errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::DibPicture p;
  try {
    p = kv::readTdib(data, size);
  } catch (const kv::EDibError&) {
    return 0;
  }
  const size_t count = static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
  KV_FUZZ_CHECK(p.width > 0 && p.height > 0);
  if (p.bitCount == 8) {
    KV_FUZZ_CHECK(p.palette.size() == 256 && p.indices.size() == count && p.pixels.empty());
  } else {
    KV_FUZZ_CHECK((p.bitCount == 24 || p.bitCount == 32) && p.pixels.size() == count);
  }
  // Every pixel can be asked for its colour.
  uint32_t sum = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) sum += p.at(x, y).r;
  (void)sum;

  const std::vector<uint8_t> again = kv::writeTdib(p);
  const kv::DibPicture q = kv::readTdib(again.data(), again.size());
  KV_FUZZ_CHECK(q.width == p.width && q.height == p.height && q.bitCount == p.bitCount);
  KV_FUZZ_CHECK(q.palette == p.palette && q.indices == p.indices && q.pixels == p.pixels);
  return 0;
}
