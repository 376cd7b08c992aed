#pragma once
// One line of the harness's trace: a JSON object with the event, the virtual time, the ticks so far
// and the game variables under their own names.
#include <cstdint>
#include <string>

namespace kv {

std::string traceRecord(const std::string& event, uint32_t timeMs);
// The ground as a trace line: the heights of columns 1..801 and their pit flags as 0/1 characters.
std::string terrainRecord(uint32_t timeMs);

}  // namespace kv
