#pragma once
// The floor every redraw figure is compared with: clearing one 800x566 frame of 16-bit pixels with
// memset and copying it once with memcpy, the least any redraw and present can cost. It is measured
// in the same run as the figure it is compared with, so the ratio holds however busy the machine is.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kv::bench {

// The CPU time this thread has used, in ns. Other work on the same cores (builds, other benchmarks)
// stretches wall-clock figures by however long we wait for a core; CPU time leaves that out.
inline double cpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

constexpr size_t kFrameBytes = 800 * 566 * 2;  // 905,600 bytes

struct FloorParts {
  double clearNs = 0;  // memset alone
  double totalNs = 0;  // memset and memcpy
};

// Medians of many short measurements: one stray interruption cannot move them.
inline FloorParts measureFloor(int samples = 101) {
  static std::vector<unsigned char> frame(kFrameBytes), copy(kFrameBytes);
  std::vector<double> clears, totals;
  for (int i = 0; i < samples; ++i) {
    const double t0 = cpuNs();
    std::memset(frame.data(), 0, kFrameBytes);
    benchmark::ClobberMemory();
    const double t1 = cpuNs();
    std::memcpy(copy.data(), frame.data(), kFrameBytes);
    benchmark::ClobberMemory();
    const double t2 = cpuNs();
    clears.push_back(t1 - t0);
    totals.push_back(t2 - t0);
  }
  auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  return {median(clears), median(totals)};
}

// Times a benchmark's whole loop (CPU time) and reports the time per iteration with the floor measured just
// before it: "ns" the figure, "floor_ns" the floor, "x_floor" their ratio. Use with repetitions and
// read the medians.
class RatioTimer {
 public:
  explicit RatioTimer(bool clearOnly = false) {
    const FloorParts f = measureFloor();
    floorNs_ = clearOnly ? f.clearNs : f.totalNs;
    t0_ = cpuNs();
  }
  // Call right after the loop.
  void report(benchmark::State& state) const {
    const double elapsed = cpuNs() - t0_;
    const double ns =
        elapsed / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["ns"] = ns;
    state.counters["floor_ns"] = floorNs_;
    state.counters["x_floor"] = ns / floorNs_;
  }

 private:
  double floorNs_ = 0;
  double t0_ = 0;
};

// For loops that must put their scene back between iterations: only the calls passed to time() are
// measured (CPU time), and each iteration's time goes to the benchmark too (register it with
// UseManualTime()).
class MeasuredRatio {
 public:
  explicit MeasuredRatio(bool clearOnly = false) {
    const FloorParts f = measureFloor();
    floorNs_ = clearOnly ? f.clearNs : f.totalNs;
  }
  template <typename F>
  void time(benchmark::State& state, F&& f) {
    const double t0 = cpuNs();
    f();
    const double ns = cpuNs() - t0;
    totalNs_ += ns;
    state.SetIterationTime(ns * 1e-9);
  }
  // callsPerIteration: how many calls of the thing measured one time() holds.
  void report(benchmark::State& state, int callsPerIteration = 1) const {
    const double ns = totalNs_ /
                      static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1)) /
                      callsPerIteration;
    state.counters["ns"] = ns;
    state.counters["floor_ns"] = floorNs_;
    state.counters["x_floor"] = ns / floorNs_;
  }

 private:
  double floorNs_ = 0;
  double totalNs_ = 0;
};

}  // namespace kv::bench
