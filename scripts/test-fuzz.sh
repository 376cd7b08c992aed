#!/usr/bin/env bash
# Runs every fuzz target for a short time from its seed corpus (the seeds are only read; what the
# fuzzer finds goes to a temporary folder). A crash, a leak, undefined behaviour or a broken check
# fails the run and leaves the input that caused it in the build's fuzz-artifacts/ folder.
#   scripts/test-fuzz.sh [BUILD_DIR [SECONDS]]
# BUILD_DIR (default build-fuzz) is configured as a clang build with -DKV_FUZZ=ON when it does not
# exist yet; an existing build must have been configured with -DKV_FUZZ=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-lib.sh
dir="${1:-build-fuzz}"
seconds="${2:-15}"
kv_fuzz_build "$dir"
artifacts="$dir/fuzz-artifacts"
mkdir -p "$artifacts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for name in $(kv_fuzz_targets "$dir"); do
  mkdir -p "$work/$name"
  # shellcheck disable=SC2046
  if ! "$dir/fuzz/kv_fuzz_$name" $(kv_fuzz_options "$name") -max_total_time="$seconds" -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "$work/$name" "fuzz/$name/corpus" \
      >"$work/$name.log" 2>&1; then
    tail -n 40 "$work/$name.log" >&2
    echo "fuzz target $name failed; the input is in $artifacts/" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log")
  echo "fuzz $name: ${runs:-?} runs in ${seconds} s, no finding"
done
