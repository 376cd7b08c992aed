# Shared by scripts/test-fuzz.sh and scripts/fuzz-long.sh (sourced, not run).

# Makes sure $1 is a build with the fuzz targets (configuring a clang build there when it is not
# configured yet) and builds them.
kv_fuzz_build() {
  local dir="$1"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON \
      -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF >/dev/null
  elif ! grep -q '^KV_FUZZ:BOOL=ON' "$dir/CMakeCache.txt"; then
    echo "$dir is not configured with -DKV_FUZZ=ON" >&2
    return 1
  fi
  cmake --build "$dir" -j2 --target kv_fuzz_all >/dev/null
}

# The fuzz targets of a build, by name (tdib, wave, ...).
kv_fuzz_targets() {
  local exe
  for exe in "$1"/fuzz/kv_fuzz_*; do
    [ -x "$exe" ] && basename "$exe" | sed 's/^kv_fuzz_//'
  done
}

# libFuzzer options of a target from fuzz/NAME/options and fuzz/NAME/dict.
kv_fuzz_options() {
  local name="$1"
  [ -f "fuzz/$name/options" ] && cat "fuzz/$name/options"
  [ -f "fuzz/$name/dict" ] && echo "-dict=fuzz/$name/dict"
  return 0
}
