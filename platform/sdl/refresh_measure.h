#pragma once
// The display's refresh rate where the platform does not report it, from the times at which a run
// of presents that wait for the vertical blank came back: their typical period, when the periods
// are steady, rounded to the nearest Hz. Presents that do not wait, or come at no steady rate, give 0.
#include <cstdint>
#include <vector>

namespace kv {

// endsNs: the steady-clock times at which successive presents returned.
int steadyRateHz(const std::vector<uint64_t>& endsNs);

}  // namespace kv
