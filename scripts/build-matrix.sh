#!/usr/bin/env bash
# Builds the whole tree (game, tools, tests, benchmarks) with every build type, with GCC and clang,
# with and without the sanitizers, warnings as errors; then once as a Debian packager would
# (CMAKE_BUILD_TYPE=None and dpkg-buildflags' flags, warnings only reported). Prints one line per
# build and a summary; the logs stay in build-matrix/<name>.log.
#
#   scripts/build-matrix.sh [PATTERN...]   only the builds whose names match a shell pattern
#                                          (clang-Release, 'clang-*', '*-sanitize', gcc-packager)
#
# Takes long (sixteen full builds); it is not part of scripts/test.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
patterns=("${@:-*}")
root=build-matrix
mkdir -p "$root"
failed=()
passed=0

build() {
  local name=$1
  shift
  local p wanted=
  for p in "${patterns[@]}"; do
    # shellcheck disable=SC2053
    [[ "$name" == $p ]] && wanted=1
  done
  [ -n "$wanted" ] || return 0
  local dir="$root/$name" log="$root/$name.log"
  rm -rf "$dir"
  local start=$SECONDS
  if env "$@" >"$log" 2>&1; then
    passed=$((passed + 1))
    echo "ok    $name ($((SECONDS - start)) s, $(grep -c 'warning:' "$log") warnings)"
  else
    failed+=("$name")
    echo "FAIL  $name ($((SECONDS - start)) s): see $log"
  fi
}

configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@" && cmake --build "$dir" -j "$(nproc)"
}

for compiler in gcc clang; do
  if [ "$compiler" = gcc ]; then cc=gcc cxx=g++; else cc=clang cxx=clang++; fi
  for type in Debug Release RelWithDebInfo MinSizeRel; do
    for sanitize in OFF ON; do
      name="$compiler-$type"
      [ "$sanitize" = ON ] && name="$name-sanitize"
      build "$name" CC=$cc CXX=$cxx bash -c "$(declare -f configure_and_build); configure_and_build \
        '$root/$name' -DCMAKE_BUILD_TYPE=$type -DKV_WERROR=ON -DKV_SANITIZE=$sanitize"
    done
  done
done

if command -v dpkg-buildflags >/dev/null; then
  build gcc-packager CC=gcc CXX=g++ CFLAGS="$(dpkg-buildflags --get CFLAGS)" \
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS)" CPPFLAGS="$(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" bash -c "$(declare -f configure_and_build); \
    CXXFLAGS=\"\$CXXFLAGS \$CPPFLAGS\" CFLAGS=\"\$CFLAGS \$CPPFLAGS\" configure_and_build \
      '$root/gcc-packager' -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr"
fi

echo "$passed passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
