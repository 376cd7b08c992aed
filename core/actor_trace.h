#pragma once
// The level's actors as the trace shows them: each actor's position and flags while a level runs,
// null between levels.
#include <string>

namespace kv {

class JsonObject;

// Adds body, wheels, forwardShot, upwardShot, rocks, trees, ufos and bomb to `line`.
void traceActors(JsonObject& line);

}  // namespace kv
