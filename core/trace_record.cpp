#include "core/trace_record.h"

#include <charconv>

#include "core/form.h"
#include "core/game_state.h"

namespace kv {

namespace {

class JsonObject {
 public:
  JsonObject& field(const char* name, long long v) { return raw(name, std::to_string(v)); }
  JsonObject& field(const char* name, bool v) { return raw(name, v ? "true" : "false"); }
  JsonObject& field(const char* name, double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return raw(name, std::string(buf, r.ptr));
  }
  JsonObject& field(const char* name, const std::string& v) {
    std::string quoted = "\"";
    for (char c : v) {
      if (c == '"' || c == '\\') quoted += '\\';
      if (static_cast<unsigned char>(c) < 0x20) continue;
      quoted += c;
    }
    return raw(name, quoted + "\"");
  }
  JsonObject& raw(const char* name, const std::string& value) {
    text_ += text_.empty() ? "{" : ",";
    text_ += "\"";
    text_ += name;
    text_ += "\":";
    text_ += value;
    return *this;
  }
  std::string str() const { return text_ + "}"; }

 private:
  std::string text_;
};

}  // namespace

// The vehicle body's position while a level runs, "null" otherwise; defined with the actors.
std::string traceBody();

// PlayWave calls on each of the six wave entries since the program started.
static std::string tracePlays() {
  const TWaveCollection* items = game.Form1 ? &game.Form1->DXWaveList1.Items() : nullptr;
  std::string list = "[";
  for (int32_t i = 0; i < 6; ++i) {
    const uint64_t calls = items && i < items->Count() ? (*items)[i].playWaveCalls() : 0;
    list += (i ? "," : "") + std::to_string(calls);
  }
  return list + "]";
}

std::string traceRecord(const std::string& event, uint32_t timeMs) {
  JsonObject o;
  o.field("event", event)
      .field("t", static_cast<long long>(timeMs))
      .field("ticks", static_cast<long long>(game.ticks))
      .field("level", static_cast<long long>(game.level))
      .field("distance", static_cast<long long>(game.distance))
      .field("points", static_cast<long long>(game.points))
      .field("totalPoints", static_cast<long long>(game.totalPoints))
      .field("ammoUsed", static_cast<long long>(game.ammoUsed))
      .field("ammoLimit", static_cast<long long>(game.ammoLimit))
      .field("wrecked", game.wrecked)
      .field("wreckTime", static_cast<long long>(game.wreckTime))
      .field("levelWon", game.levelWon)
      .field("speed", static_cast<long long>(game.speed))
      .field("fastSpeed", static_cast<long long>(game.fastSpeed))
      .field("normalSpeed", static_cast<long long>(game.normalSpeed))
      .field("slowSpeed", static_cast<long long>(game.slowSpeed))
      .field("refreshRate", static_cast<long long>(game.refreshRate))
      .field("rockCount", static_cast<long long>(game.rockCount))
      .field("introPending", game.introPending)
      .field("captionScale", static_cast<long long>(game.captionScale))
      .raw("body", traceBody())
      .raw("plays", tracePlays());
  return o.str();
}

std::string traceBody() {
  return "null";
}

}  // namespace kv
