#include "core/trace_record.h"

#include "core/actor_trace.h"
#include "core/form.h"
#include "core/json_object.h"
#include "state/game_state.h"

namespace kv {

namespace {

// PlayWave calls on each of the six wave entries since the program started.
std::string tracePlays() {
  const TWaveCollection* items = game.Form1 ? &game.Form1->DXWaveList1.Items() : nullptr;
  std::string list = "[";
  for (int32_t i = 0; i < 6; ++i) {
    const uint64_t calls = items && i < items->Count() ? (*items)[i].playWaveCalls() : 0;
    list += (i ? "," : "") + std::to_string(calls);
  }
  return list + "]";
}

}  // namespace

std::string traceRecord(const std::string& event, uint32_t timeMs) {
  JsonObject o;
  o.field("event", event)
      .field("t", static_cast<int64_t>(timeMs))
      .field("ticks", game.ticks)
      .field("level", game.level)
      .field("distance", game.distance)
      .field("points", game.points)
      .field("totalPoints", game.totalPoints)
      .field("ammoUsed", game.ammoUsed)
      .field("ammoLimit", game.ammoLimit)
      .field("wrecked", game.wrecked)
      .field("wreckTime", game.wreckTime)
      .field("levelWon", game.levelWon)
      .field("speed", game.speed)
      .field("fastSpeed", game.fastSpeed)
      .field("normalSpeed", game.normalSpeed)
      .field("slowSpeed", game.slowSpeed)
      .field("refreshRate", game.refreshRate)
      .field("rockCount", game.rockCount)
      .field("introPending", game.introPending)
      .field("captionScale", game.captionScale);
  traceActors(o);
  // The input states of the last poll, bit n for state n.
  o.raw("plays", tracePlays());
  o.field("input", static_cast<int64_t>(game.Form1 ? game.Form1->DXInput1.InputStates : 0));
  return o.str();
}

std::string terrainRecord(uint32_t timeMs) {
  constexpr int kColumns = 801;
  std::string heights = "[";
  std::string holes;
  holes.reserve(kColumns);
  for (int c = 1; c <= kColumns; ++c) {
    if (c > 1) heights += ",";
    heights += std::to_string(game.terrain[c].height);
    holes += game.terrain[c].hole ? '1' : '0';
  }
  return JsonObject()
      .field("event", std::string("terrain"))
      .field("t", static_cast<int64_t>(timeMs))
      .field("ticks", game.ticks)
      .raw("height", heights + "]")
      .field("hole", holes)
      .str();
}

}  // namespace kv
