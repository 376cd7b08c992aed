#include "platform/record/recording_format.h"

#include <charconv>
#include <cstring>
#include <sstream>

#include "platform/record/crc32.h"
#include "platform/support/byte_order.h"
#include "platform/support/printable_text.h"

namespace kv {

namespace {

constexpr const char* kFormatName = "KORVALUNDRIX game recording";

bool printableAscii(const std::string& s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
  return true;
}

}  // namespace

std::vector<uint8_t> encodeHeader(const RecordingHeader& h) {
  std::string text = std::string("format=") + kFormatName + "\nprogram=" + h.program +
                     "\nbackend=" + h.backend + "\nfullscreen=" + (h.fullScreen ? "1" : "0") +
                     "\nseed=" + (h.seed ? std::to_string(*h.seed) : "clock") + "\n";
  if (text.size() > kMaxHeaderText) text.resize(kMaxHeaderText);
  std::vector<uint8_t> out(std::begin(kRecordingMagic), std::end(kRecordingMagic));
  putLe16(out, kRecordingVersion);
  putLe16(out, static_cast<uint16_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
  putLe32(out, crc32(out.data(), out.size()));
  return out;
}

RecordingHeader decodeHeader(const std::vector<uint8_t>& bytes, size_t& size, bool checkSums) {
  if (bytes.empty()) throw RecordingError("is empty");
  if (bytes.size() < sizeof kRecordingMagic ||
      std::memcmp(bytes.data(), kRecordingMagic, sizeof kRecordingMagic) != 0)
    throw RecordingError("is not a recording of this game (it does not start with KVRECORD)");
  if (bytes.size() < kRecordingHeaderFixed) throw RecordingError("is cut short inside its header");
  const uint16_t version = getLe16(bytes.data() + 8);
  if (version != kRecordingVersion) {
    throw RecordingError("is a recording of format version " + std::to_string(version) +
                         "; this program reads version " + std::to_string(kRecordingVersion));
  }
  const size_t textSize = getLe16(bytes.data() + 10);
  if (textSize > kMaxHeaderText) throw RecordingError("has a header longer than it may be");
  size = kRecordingHeaderFixed + textSize + 4;
  if (bytes.size() < size) throw RecordingError("is cut short inside its header");
  if (checkSums && crc32(bytes.data(), size - 4) != getLe32(bytes.data() + size - 4))
    throw RecordingError("has a damaged header (its checksum does not match)");

  RecordingHeader h;
  bool seen[5] = {false, false, false, false, false};
  std::istringstream in(
      std::string(reinterpret_cast<const char*>(bytes.data() + kRecordingHeaderFixed), textSize));
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    auto bad = [&line]() {
      return RecordingError("has a header line it cannot read: '" + printable(line) + "'");
    };
    if (eq == std::string::npos || !printableAscii(line)) throw bad();
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    int slot = -1;
    if (key == "format") {
      if (value != kFormatName) throw bad();
      slot = 0;
    } else if (key == "program") {
      if (value.empty() || value.size() > 100) throw bad();
      h.program = value;
      slot = 1;
    } else if (key == "backend") {
      if (value != "window" && value != "headless") throw bad();
      h.backend = value;
      slot = 2;
    } else if (key == "fullscreen") {
      if (value != "0" && value != "1") throw bad();
      h.fullScreen = value == "1";
      slot = 3;
    } else if (key == "seed") {
      if (value != "clock") {
        uint32_t seed = 0;
        const auto r = std::from_chars(value.data(), value.data() + value.size(), seed);
        if (value.empty() || r.ec != std::errc() || r.ptr != value.data() + value.size()) throw bad();
        h.seed = seed;
      }
      slot = 4;
    } else {
      throw bad();
    }
    if (seen[slot]) throw bad();
    seen[slot] = true;
  }
  for (const bool s : seen)
    if (!s) throw RecordingError("has a header that lacks a line it must hold");
  return h;
}

}  // namespace kv
