// The harness's script parser: any text gives events in time order within their ranges, or one
// ScriptError line that shows only printable text and stays short whatever the input held.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/headless/script.h"

namespace {

void checkMessage(const std::string& m) {
  KV_FUZZ_CHECK(m.size() < 600);
  for (const char c : m) KV_FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<kv::ScriptEvent> events;
  try {
    events = kv::parseScript(text, "fuzz.script");
  } catch (const kv::ScriptError& e) {
    checkMessage(e.what());
    return 0;
  }
  uint64_t last = 0;
  for (const kv::ScriptEvent& se : events) {
    KV_FUZZ_CHECK(se.timeMs >= last && se.timeMs <= kv::kMaxScriptTimeMs);
    last = se.timeMs;
    const kv::Event& e = se.event;
    using Kind = kv::Event::Kind;
    if (e.kind == Kind::MouseMove || e.kind == Kind::MouseDown || e.kind == Kind::MouseUp) {
      KV_FUZZ_CHECK(e.x >= 0 && e.x < 800 && e.y >= 0 && e.y < 600);
    } else if (e.kind == Kind::KeyDown || e.kind == Kind::KeyUp) {
      KV_FUZZ_CHECK(e.vk >= 1 && e.vk <= 255);
    } else if (e.kind == Kind::Shot) {
      KV_FUZZ_CHECK(!e.path.empty() && e.path.find('\0') == std::string::npos);
    } else {
      KV_FUZZ_CHECK(e.kind == Kind::State || e.kind == Kind::Terrain || e.kind == Kind::Quit);
    }
  }
  return 0;
}
