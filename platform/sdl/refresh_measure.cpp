#include "platform/sdl/refresh_measure.h"

#include <algorithm>
#include <cmath>

#include "platform/support/rounding.h"

namespace kv {

namespace {

// Rates a display can have; outside them the presents did not really wait for one.
constexpr double kLowestHz = 20.0;
constexpr double kHighestHz = 500.0;

}  // namespace

int steadyRateHz(const std::vector<uint64_t>& endsNs) {
  std::vector<uint64_t> periods;
  for (size_t i = 1; i < endsNs.size(); ++i) {
    periods.push_back(endsNs[i] > endsNs[i - 1] ? endsNs[i] - endsNs[i - 1] : 0);
  }
  if (periods.size() < 8) return 0;
  std::vector<uint64_t> sorted = periods;
  std::sort(sorted.begin(), sorted.end());
  const double median = static_cast<double>(sorted[sorted.size() / 2]);
  if (median <= 0 || 1e9 / median < kLowestHz || 1e9 / median > kHighestHz) return 0;
  // Steady: three periods in four within a tenth of the typical one (a late frame now and then, as a
  // busy machine makes, is no reason to give up).
  const auto close = std::count_if(periods.begin(), periods.end(), [median](uint64_t p) {
    return std::fabs(static_cast<double>(p) - median) <= median / 10;
  });
  if (close * 4 < static_cast<long>(periods.size()) * 3) return 0;
  // The mean of the close periods is the finer figure (the clock's steps average out).
  double sum = 0;
  long n = 0;
  for (uint64_t p : periods) {
    if (std::fabs(static_cast<double>(p) - median) <= median / 10) {
      sum += static_cast<double>(p);
      ++n;
    }
  }
  return round32(1e9 * static_cast<double>(n) / sum);
}

}  // namespace kv
