#!/usr/bin/env bash
# Builds the default build and runs the benchmarks that hold the game's pace, each against the
# floor measured in the same run (one memset and one memcpy of an 800x566 frame of 16-bit pixels),
# then the whole level's CPU. Prints one table of medians over five repetitions.
# Usage: scripts/bench.sh [BUILD_DIR]   (KV_BENCH_WINDOW=1 also measures the real window under Xvfb:
# one present of its back end, and the share of a core the game takes there)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/build.sh "$build" >/dev/null

filter='BM_FillAgainstMemset|BM_BusyScene|BM_BusyTickWithoutRedraw|BM_TickWithoutRedraw|BM_DrawTreeKeyed|BM_DrawFontGlyphKeyed'
"$build/kv_bench" --benchmark_filter="$filter" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '
    NR == 1 { for (i = 1; i <= NF; i++) col[$i] = i; next }
    $1 ~ /_median"?$/ {
      name = $1; gsub(/"/, "", name); sub(/_median$/, "", name); sub(/\/manual_time$/, "", name)
      ns = col["\"ns\""] ? $col["\"ns\""] : ""; fl = col["\"floor_ns\""] ? $col["\"floor_ns\""] : ""
      x = col["\"x_floor\""] ? $col["\"x_floor\""] : ""
      goal = ""
      if (name == "BM_FillAgainstMemset") goal = "<= 1.3 x memset"
      if (name == "BM_BusySceneRedraw") goal = "<= 2 x floor"
      if (name == "BM_TickWithoutRedraw" || name == "BM_BusyTickWithoutRedraw") goal = "<= 500 ns"
      if (ns == "") { ns = $col["real_time"]; }
      printf "%-32s %12.0f ns %12s %8s  %s\n", name, ns, (fl == "" ? "" : sprintf("%.0f ns", fl)),
             (x == "" ? "" : sprintf("%.2f x", x)), goal
    }
    BEGIN { printf "%-32s %15s %12s %8s  %s\n", "benchmark (median of 5)", "time", "floor", "ratio", "goal" }'
echo
scripts/level-cpu.sh "$build" 60
if [ -n "${KV_BENCH_WINDOW:-}" ]; then
  echo
  # One present of the window's back end under Xvfb at three window sizes: CPU of the game's thread
  # and wall-clock time.
  xvfb-run -a -s "-screen 0 2560x1440x24" "$build/kv_bench" --benchmark_filter=BM_SdlPresent \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null | grep median || true
  echo
  scripts/window-cpu.sh "$build" 1920x1080 window 10
  scripts/window-cpu.sh "$build" 1920x1080 full 10
fi
