#!/usr/bin/env bash
# Static analysis: clang-tidy with the checks of .clang-tidy over every source file of the tree,
# our own headers included, as a build compiles them (its compile_commands.json). The fuzz targets
# are analysed from a fuzz build (KV_FUZZ) when there is one. Generated sources in the build folder
# are left out. Any finding fails; the full output is kept in BUILD_DIR/tidy.log.
#   scripts/tidy.sh [BUILD_DIR [FUZZ_BUILD_DIR]]
# BUILD_DIR defaults to build (made with scripts/build.sh when missing), FUZZ_BUILD_DIR to
# build-fuzz (skipped when it does not exist). With 2 cores a whole run takes several minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
fuzzdir="${2:-build-fuzz}"
[ -f "$dir/compile_commands.json" ] || scripts/build.sh "$dir"
log="$dir/tidy.log"
: >"$log"

# The sources of a build's compile database that live in the tree (not in a build folder), one a
# line; with a second argument only those below that folder of the tree.
sources() {
  python3 - "$1/compile_commands.json" "$(pwd)" "${2:-}" <<'PY'
import json, os, sys
db, root, only = sys.argv[1], os.path.realpath(sys.argv[2]), sys.argv[3]
build = os.path.realpath(os.path.dirname(db))
seen = set()
for e in json.load(open(db)):
    f = os.path.realpath(os.path.join(e["directory"], e["file"]))
    rel = os.path.relpath(f, root)
    if f.startswith(build + os.sep) or rel.startswith("..") or rel.startswith("build") or f in seen:
        continue
    if only and not rel.startswith(only + os.sep):
        continue
    seen.add(f)
    print(f)
PY
}

analyse() {
  local db="$1"
  shift
  [ "$#" -gt 0 ] || return 0
  run-clang-tidy -quiet -j 2 -p "$db" "$@" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' >>"$log" || true
}

mapfile -t files < <(sources "$dir")
analyse "$dir" "${files[@]}"
count=${#files[@]}
if [ -f "$fuzzdir/compile_commands.json" ]; then
  mapfile -t fuzzfiles < <(sources "$fuzzdir" fuzz)
  analyse "$fuzzdir" "${fuzzfiles[@]}"
  count=$((count + ${#fuzzfiles[@]}))
fi

if grep -qE '(warning|error):' "$log"; then
  grep -E '(warning|error):' "$log" | sort -u >&2
  echo "clang-tidy: the findings above (full output in $log)" >&2
  exit 1
fi
echo "clang-tidy: no findings in $count files"
