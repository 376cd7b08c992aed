#pragma once
// The floor every redraw figure is compared with: clearing one 800x566 frame of 16-bit pixels with
// memset and copying it once with memcpy, the least any redraw and present can cost. It is measured
// in the same run as the figure it is compared with, so the ratio holds however busy the machine is.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace kv::bench {

constexpr size_t kFrameBytes = 800 * 566 * 2;  // 905,600 bytes

struct FloorParts {
  double clearNs = 0;  // memset alone
  double totalNs = 0;  // memset and memcpy
};

// Medians of many short measurements: one stray interruption cannot move them.
inline FloorParts measureFloor(int samples = 101) {
  static std::vector<unsigned char> frame(kFrameBytes), copy(kFrameBytes);
  std::vector<double> clears, totals;
  using Clock = std::chrono::steady_clock;
  for (int i = 0; i < samples; ++i) {
    const auto t0 = Clock::now();
    std::memset(frame.data(), 0, kFrameBytes);
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    std::memcpy(copy.data(), frame.data(), kFrameBytes);
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    clears.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
    totals.push_back(std::chrono::duration<double, std::nano>(t2 - t0).count());
  }
  auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  return {median(clears), median(totals)};
}

// Times a benchmark's whole loop and reports the time per iteration with the floor measured just
// before it: "ns" the figure, "floor_ns" the floor, "x_floor" their ratio. Use with repetitions and
// read the medians.
class RatioTimer {
 public:
  explicit RatioTimer(bool clearOnly = false) {
    const FloorParts f = measureFloor();
    floorNs_ = clearOnly ? f.clearNs : f.totalNs;
    t0_ = std::chrono::steady_clock::now();
  }
  // Call right after the loop.
  void report(benchmark::State& state) const {
    const double elapsed =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0_).count();
    const double ns =
        elapsed / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["ns"] = ns;
    state.counters["floor_ns"] = floorNs_;
    state.counters["x_floor"] = ns / floorNs_;
  }

 private:
  double floorNs_ = 0;
  std::chrono::steady_clock::time_point t0_;
};

}  // namespace kv::bench
