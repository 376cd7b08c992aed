#!/usr/bin/env bash
# Puts the one-line faults of scripts/mutants.txt into the game one at a time, rebuilds kv_tests and
# runs it (and, for a fault in the audio engine, its own suite kv_audio_tests too): a fault the suites
# let through is a hole in the tests. The work happens in a scratch copy of the tree with its own
# build folder (build-mutants/ by default), so the tree itself is never modified, and the copy's
# file is put back even when the run is interrupted.
#
#   scripts/mutants.sh [--list FILE] [--only N[,N...]] [--who] [--check]
#
# --check only makes sure that every entry applies, exactly once, to the tree.
# --only runs the numbered entries alone (counted from 1 in the list's order); --who runs the whole
# suite for each fault and names every test that failed, instead of stopping at the first.
# Environment: KV_MUTANTS_DIR (the scratch folder), KV_MUTANTS_JOBS (build jobs, 2),
# KV_MUTANTS_TIMEOUT (seconds a suite may take before it counts as hung, hence caught; 300).
# Prints the faults that survive and the caught share; exits 1 below 90%, 2 on a broken list.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true

repo=$(cd "$(dirname "$0")/.." && pwd)
list=$repo/scripts/mutants.txt
only=""
who=0
check=0
while (($#)); do
  case $1 in
    --list) list=$2; shift 2 ;;
    --only) only=",$2,"; shift 2 ;;
    --who) who=1; shift ;;
    --check) check=1; shift ;;
    *) echo "mutants.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
work=${KV_MUTANTS_DIR:-$repo/build-mutants}
jobs=${KV_MUTANTS_JOBS:-2}
limit=${KV_MUTANTS_TIMEOUT:-300}
src=$work/src
bld=$work/build

fail() {
  echo "mutants.sh: $*" >&2
  exit 2
}

# --- The list: blocks of "file:", "from:", "to:" and "seen:" lines; # starts a comment line.
files=() froms=() tos=() seens=()
add_entry() {
  [[ -n $f || -n $from || -n $to_set || -n $seen ]] || return 0
  [[ -n $f && -n $from && -n $to_set && -n $seen ]] ||
    fail "$list: the entry ending at line $lineno lacks one of file:, from:, to:, seen:"
  files+=("$f") froms+=("$from") tos+=("$to") seens+=("$seen")
  f="" from="" to="" to_set="" seen=""
}
f="" from="" to="" to_set="" seen="" lineno=0
while IFS= read -r line || [[ -n $line ]]; do
  lineno=$((lineno + 1))
  case $line in
    "#"*) ;;
    "") add_entry ;;
    "file: "*) f=${line#file: } ;;
    "from: "*) from=${line#from: } ;;
    "to:"*) to=${line#to:}; to=${to# }; to_set=1 ;;
    "seen: "*) seen=${line#seen: } ;;
    *) fail "$list:$lineno: not a field of an entry: $line" ;;
  esac
done <"$list"
add_entry
count=${#files[@]}
((count > 0)) || fail "$list holds no entries"

# Every fault must apply exactly where it says, before anything is built.
occurrences() {  # text, needle: how often (0, 1 or 2 meaning "more")
  local text=$1 needle=$2
  [[ $text == *"$needle"* ]] || { echo 0; return; }
  local rest=${text#*"$needle"}
  [[ $rest == *"$needle"* ]] && echo 2 || echo 1
}
for ((i = 0; i < count; i++)); do
  [[ -f $repo/${files[i]} ]] || fail "entry $((i + 1)): no file ${files[i]}"
  n=$(occurrences "$(<"$repo/${files[i]}")" "${froms[i]}")
  [[ $n == 1 ]] || fail "entry $((i + 1)): '${froms[i]}' is found $([[ $n == 0 ]] && echo nowhere || echo more than once) in ${files[i]}"
  [[ ${froms[i]} != "${tos[i]}" ]] || fail "entry $((i + 1)): the fault changes nothing"
done
if ((check)); then
  echo "All $count faults apply to the tree."
  exit 0
fi

# --- The scratch copy: the tree's tracked and new files, copied only where they differ so that the
# build stays incremental (a copied file gets a fresh time stamp and is rebuilt).
mkdir -p "$src" "$bld"
saved=$work/saved
target=""
restore() {
  if [[ -n $target ]]; then
    cat "$saved" >"$target"  # a fresh time stamp: the next build compiles the original again
    target=""
  fi
}
trap 'restore' EXIT
trap 'restore; echo "mutants.sh: interrupted" >&2; exit 130' INT TERM

echo "Copying the tree to $src"
(cd "$repo" && git ls-files -co --exclude-standard) | sort >"$work/tree.files"
(cd "$src" && find . -type f -printf '%P\n') | sort >"$work/copy.files"
comm -13 "$work/tree.files" "$work/copy.files" | while IFS= read -r gone; do rm -f "$src/$gone"; done
while IFS= read -r path; do
  [[ -f $repo/$path ]] || continue
  if ! cmp -s "$repo/$path" "$src/$path"; then
    mkdir -p "$(dirname "$src/$path")"
    cp "$repo/$path" "$src/$path"
  fi
done <"$work/tree.files"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [[ ! -f $bld/CMakeCache.txt ]]; then
  cmake -S "$src" -B "$bld" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_WERROR=ON "${launcher[@]}" >/dev/null
fi

# make reports a Ctrl+C as a failed build and exits normally, so bash would not run its INT trap:
# such a failure is an interruption, not a fault that does not build.
build() {
  cmake --build "$bld" --target kv_tests kv_audio_tests -j "$jobs" >"$work/build.log" 2>&1 && return 0
  if grep -q 'Interrupt' "$work/build.log"; then
    restore
    echo "mutants.sh: interrupted" >&2
    exit 130
  fi
  return 1
}

# Runs the suite; prints the tests that failed (the first only, unless --who). Status 0 when it
# passed, 1 when a test failed, 2 when it hung.
suite() {
  local args=(--gtest_brief=1)
  ((who)) || args+=(--gtest_fail_fast)
  local status=0
  (cd "$work" && SDL_AUDIODRIVER=dummy timeout "$limit" "$bld/kv_tests" "${args[@]}") >"$work/suite.log" 2>&1 ||
    status=$?
  # The audio engine has a suite of its own (it runs alone under ThreadSanitizer): a fault there is
  # also put to it.
  if ((status == 0)) && [[ ${current:-} == platform/audio/* ]]; then
    (cd "$work" && SDL_AUDIODRIVER=dummy timeout "$limit" "$bld/kv_audio_tests" "${args[@]}") \
      >"$work/suite.log" 2>&1 || status=$?
  fi
  if ((status == 124)); then
    echo "hung for ${limit}s"
    return 2
  fi
  local failed
  failed=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\).*/\1/p' "$work/suite.log" | sort -u | tr '\n' ' ')
  if ((status == 0)); then return 0; fi
  echo "${failed:-exit status $status}"
  return 1
}

echo "Building kv_tests in $bld"
build || { tail -20 "$work/build.log"; fail "the tree itself does not build"; }
if ! suite >/dev/null; then
  tail -20 "$work/suite.log"
  fail "kv_tests fails without any fault"
fi

run=0 caught=0 survivors=()
for ((i = 0; i < count; i++)); do
  number=$((i + 1))
  [[ -z $only || $only == *",$number,"* ]] || continue
  run=$((run + 1))
  file=$src/${files[i]}
  content=$(<"$file")
  [[ $(occurrences "$content" "${froms[i]}") == 1 ]] || fail "entry $number no longer applies to the copy"
  cp "$file" "$saved"
  target=$file
  # The whole file back as it was, one occurrence replaced: the trailing newline is the only thing
  # $(<) drops, and every source ends with one.
  printf '%s\n' "${content/"${froms[i]}"/"${tos[i]}"}" >"$file"
  cmp -s "$file" "$saved" && fail "entry $number did not change ${files[i]}"
  if ! build; then
    restore
    tail -20 "$work/build.log"
    fail "entry $number (${files[i]}) does not build: fix the fault in the list"
  fi
  verdict=0
  current=${files[i]}
  result=$(suite) || verdict=$?
  current=
  restore
  if ((verdict == 0)); then
    survivors+=("$number")
    printf '%3d SURVIVES %s: %s\n' "$number" "${files[i]}" "${seens[i]}"
  else
    caught=$((caught + 1))
    printf '%3d caught   %s by %s\n' "$number" "${files[i]}" "$result"
  fi
done

# Leave the copy's build matching the tree again.
[[ -n ${KV_MUTANTS_NO_FINAL_BUILD:-} ]] || build || true

echo
echo "Faults that survive: ${#survivors[@]}"
for n in "${survivors[@]}"; do
  echo "  $n. ${files[n - 1]}: '${froms[n - 1]}' -> '${tos[n - 1]}'"
  echo "     ${seens[n - 1]}"
done
share=$((run ? 100 * caught / run : 0))
echo "Caught: $caught of $run ($share%)"
((share >= 90))
