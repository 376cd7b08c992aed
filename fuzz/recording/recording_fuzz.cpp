// The recording reader: any bytes give a checked recording whose every record is in range, or one
// short, printable RecordingError line. Each input is read as it is and, when that fails, with its
// checksums left unchecked, so that the fuzzer also reaches the blocks' decoding and the records behind it.
// Whatever is read comes back the same when it is written again.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/record/record_codec.h"
#include "platform/record/recording_reader.h"

namespace {

void checkMessage(const std::string& m) {
  KV_FUZZ_CHECK(m.size() < 300);
  for (const char c : m) KV_FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

bool sameRecord(const kv::Record& a, const kv::Record& b) {
  return a.call == b.call && a.v == b.v && a.text == b.text && a.modes == b.modes;
}

// True when the recording read to its end.
bool readAll(const uint8_t* data, size_t size, bool checkSums) {
  try {
    const kv::RecordingFile file = kv::parseRecording(std::vector<uint8_t>(data, data + size), checkSums);
    KV_FUZZ_CHECK(!file.header.program.empty());
    kv::RecordStream stream(file, checkSums);
    kv::RecordEncoder encoder;
    kv::RecordDecoder decoder;
    kv::Record r, back;
    bool ended = false;
    while (stream.next(r)) {
      KV_FUZZ_CHECK(!ended);
      ended = r.call == kv::Call::End;
      const kv::CallLayout& layout = kv::layoutOf(r.call);
      for (size_t i = 0; i < layout.fields.size(); ++i)
        KV_FUZZ_CHECK(r.v[i] >= layout.fields[i].min && r.v[i] <= layout.fields[i].max);
      std::vector<uint8_t> bytes;
      encoder.encode(r, bytes);
      const uint8_t* at = bytes.data();
      std::string error;
      KV_FUZZ_CHECK(decoder.decode(at, bytes.data() + bytes.size(), back, error));
      KV_FUZZ_CHECK(at == bytes.data() + bytes.size() && sameRecord(r, back));
    }
    return true;
  } catch (const kv::RecordingError& e) {
    checkMessage(e.what());
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A recording whose checksums hold reads the same without checking them.
  if (!readAll(data, size, true)) readAll(data, size, false);
  return 0;
}
