#!/usr/bin/env bash
# A long run of one fuzz target, on one core, keeping what it finds between runs:
#   scripts/fuzz-long.sh TARGET [SECONDS]
# TARGET is tdib, wave, matrix_font, script, command_line or music (any kv_fuzz_* of the build);
# SECONDS defaults to 3600; with KV_FUZZ_RUNS=N the run ends after N executions if that comes first.
# KV_FUZZ_BUILD picks the build (default build-fuzz, configured as in
# scripts/test-fuzz.sh). The growing corpus lives in BUILD/fuzz-corpus/TARGET, crashing inputs in
# BUILD/fuzz-artifacts/; the run ends with libFuzzer's statistics (executions, coverage, memory).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-lib.sh
name="${1:?usage: scripts/fuzz-long.sh TARGET [SECONDS]}"
seconds="${2:-3600}"
dir="${KV_FUZZ_BUILD:-build-fuzz}"
kv_fuzz_build "$dir"
if [ ! -x "$dir/fuzz/kv_fuzz_$name" ]; then
  echo "no fuzz target '$name'; there are: $(kv_fuzz_targets "$dir" | tr '\n' ' ')" >&2
  exit 2
fi
corpus="$dir/fuzz-corpus/$name"
mkdir -p "$corpus" "$dir/fuzz-artifacts"
runs=()
[ -n "${KV_FUZZ_RUNS:-}" ] && runs=(-runs="$KV_FUZZ_RUNS")
# shellcheck disable=SC2046
exec "$dir/fuzz/kv_fuzz_$name" $(kv_fuzz_options "$name") "${runs[@]}" -max_total_time="$seconds" -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$dir/fuzz-artifacts/$name-" "$corpus" "fuzz/$name/corpus"
