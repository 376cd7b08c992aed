#include "core/actor_trace.h"

#include "actors/rock.h"
#include "actors/shots.h"
#include "actors/tree.h"
#include "actors/ufo.h"
#include "actors/vehicle.h"
#include "core/json_object.h"
#include "state/game_state.h"

namespace kv {

namespace {

std::string position(const TSprite& s) {
  return JsonObject().field("X", s.X).field("Y", s.Y).str();
}

template <typename Shot>
std::string shot(const Shot& s) {
  return JsonObject()
      .field("X", s.X)
      .field("Y", s.Y)
      .field("Visible", s.Visible)
      .field("Flying", s.Flying)
      .field("Collisioned", s.Collisioned)
      .str();
}

// [f(1), ..., f(n)]
template <typename F>
std::string array(int n, F f) {
  std::string out = "[";
  for (int i = 1; i <= n; ++i) {
    if (i > 1) out += ",";
    out += f(i);
  }
  return out + "]";
}

}  // namespace

void traceActors(JsonObject& line) {
  // Between levels the references are gone: every actor field is null.
  if (!game.levelRunning || !game.body) {
    for (const char* name : {"body", "wheels", "forwardShot", "upwardShot", "rocks", "trees", "ufos", "bomb"})
      line.raw(name, "null");
    return;
  }
  const TSprajtczolgu1& body = *game.body;
  line.raw("body", JsonObject()
                       .field("X", body.X)
                       .field("Y", body.Y)
                       .field("Visible", body.Visible)
                       .field("Grounded", body.Grounded)
                       .field("VelocityY", body.VelocityY)
                       .str());
  line.raw("wheels", array(6, [](int i) { return position(*game.wheels[i]); }));
  line.raw("forwardShot", shot(*game.forwardShot));
  line.raw("upwardShot", shot(*game.upwardShot));
  line.raw("rocks", array(game.rockCount, [](int i) {
             const TSprajtkamienia& r = *game.rocks[i];
             return JsonObject()
                 .field("X", r.X)
                 .field("Y", r.Y)
                 .field("Visible", r.Visible)
                 .field("Collisioned", r.Collisioned)
                 .field("IsDead", r.IsDead())
                 .str();
           }));
  line.raw("trees", array(5, [](int i) { return position(*game.trees[i]); }));
  line.raw("ufos", array(5, [](int i) {
             const TSprajtwroga& u = *game.ufos[i];
             return JsonObject()
                 .field("X", u.X)
                 .field("Y", u.Y)
                 .field("Visible", u.Visible)
                 .field("Active", u.Active)
                 .field("SpeedX", static_cast<double>(u.SpeedX))
                 .field("Collisioned", u.Collisioned)
                 .str();
           }));
  const TSprajtbomby& bomb = *game.bomb;
  line.raw("bomb", JsonObject()
                       .field("X", bomb.X)
                       .field("Y", bomb.Y)
                       .field("Visible", bomb.Visible)
                       .field("Ready", bomb.Ready)
                       .str());
}

}  // namespace kv
