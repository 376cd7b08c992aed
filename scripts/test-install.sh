#!/usr/bin/env bash
# Checks what a desktop and a distribution get from a build (build-test, or the folder given):
# `cmake --install` into a temporary prefix lays out the program, its data, desktop entry, metadata,
# manual page and icons as expected, the validators accept them, and the installed program runs
# headless from another folder on its installed data alone; then `cpack -G DEB` makes a package
# whose dependencies cover every library the program links, and the unpacked package runs too.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-test}")
id=$(sed -n 's/^CMAKE_PROJECT_NAME:STATIC=//p' "$build/CMakeCache.txt")
appid=$(sed -n 's/^StartupWMClass=//p' "$build/packaging/"*.desktop)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
checks=0
check() {
  checks=$((checks + 1))
  if ! "$@"; then
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
  fi
}
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A PNG's width and height from its header.
png_size() {
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
  echo "${w}x${h}"
}

# Runs a program headless in an empty folder for two seconds of virtual time; its trace must start
# and end as a run of the game does.
runs_headless() {
  local program=$1 where="$tmp/elsewhere-$RANDOM"
  mkdir -p "$where"
  printf '500 move 200 200\n1500 state\n2000 quit\n' >"$where/script"
  (cd "$where" && "$program" --headless --seed 1 --script script --trace trace.jsonl >out.txt 2>&1) || {
    echo "$program ended with status $?: $(cat "$where/out.txt")" >&2
    return 1
  }
  head -n 1 "$where/trace.jsonl" | grep -q '"event":"start"' && tail -n 1 "$where/trace.jsonl" | grep -q '"event":"exit"'
}

# --- cmake --install into a prefix of its own ---------------------------------------------------
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/korvalundrix share/korvalundrix/alfabet share/korvalundrix/Velunora002c.mp3 \
  "share/applications/$appid.desktop" "share/metainfo/$appid.metainfo.xml" share/man/man6/korvalundrix.6; do
  check test -s "$prefix/$f"
done
check test -x "$prefix/bin/korvalundrix"
for size in 32 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/korvalundrix.png"
  if [ -s "$icon" ]; then
    check [ "$(png_size "$icon")" = "${size}x${size}" ]
  else
    fail "no icon $icon"
  fi
done
check [ "$(cmp -s "$prefix/share/korvalundrix/alfabet" "$build/data/alfabet" && echo same)" = same ]

check desktop-file-validate "$prefix/share/applications/$appid.desktop"
check grep -q '^Categories=Game;ArcadeGame;$' "$prefix/share/applications/$appid.desktop"
check appstreamcli validate --no-net --no-color "$prefix/share/metainfo/$appid.metainfo.xml" >/dev/null
man_out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/korvalundrix.6" 2>"$tmp/man.err")
check [ ! -s "$tmp/man.err" ]
for word in "--windowed" "Alt+Enter" "F11" "alfabet" "Velunora002c.mp3" "EXIT STATUS"; do
  grep -qF -- "$word" <<<"$man_out" || fail "the manual page does not mention $word"
done

check runs_headless "$prefix/bin/korvalundrix"
# Its data is the installed data: without it the program stops, naming what is missing.
mv "$prefix/share/korvalundrix" "$tmp/moved-data"
mkdir -p "$tmp/empty"
# Only the build's own install prefix may still serve it (when the game is installed there too).
datadir=$(sed -n 's/^CMAKE_INSTALL_DATADIR:PATH=//p' "$build/CMakeCache.txt")
configured="$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")/${datadir:-share}/korvalundrix"
if (cd "$tmp/empty" && "$prefix/bin/korvalundrix" --headless --script /dev/null >"$tmp/nodata.txt" 2>&1); then
  [ -f "$configured/alfabet" ] || fail "the installed program ran without its data (it read files from somewhere else)"
else
  check grep -q alfabet "$tmp/nodata.txt"
fi
mv "$tmp/moved-data" "$prefix/share/korvalundrix"

# --- the Debian package --------------------------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$tmp/deb" >"$tmp/cpack.txt" 2>&1) || {
  cat "$tmp/cpack.txt" >&2
  fail "cpack -G DEB failed"
}
deb=$(find "$tmp/deb" -maxdepth 1 -name "${id}_*.deb" | sed -n 1p)
if [ -n "$deb" ]; then
  contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
  for f in ./usr/bin/korvalundrix ./usr/share/korvalundrix/alfabet ./usr/share/korvalundrix/Velunora002c.mp3 \
    "./usr/share/applications/$appid.desktop" "./usr/share/metainfo/$appid.metainfo.xml" \
    ./usr/share/man/man6/korvalundrix.6 ./usr/share/icons/hicolor/256x256/apps/korvalundrix.png; do
    grep -qxF -- "$f" <<<"$contents" || fail "the package lacks $f"
  done
  # Every library the program links comes from a package the .deb depends on.
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "package: $(basename "$deb"), Depends: $depends"
  depended=$(sed 's/ ([^)]*)//g; s/ *| */\n/g; s/, /\n/g' <<<"$depends")
  for lib in $(readelf -d "$build/korvalundrix" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    path=$(ldconfig -p | awk -v l="$lib" '$1 == l && !found { print $NF; found = 1 }')
    owner=$(dpkg -S "$path" 2>/dev/null | sed -n '1s/:.*//p' || true)
    [ -n "$owner" ] || owner=$(dpkg -S "$(realpath "$path")" 2>/dev/null | sed -n '1s/:.*//p' || true)
    [ -n "$owner" ] && grep -qxF -- "$owner" <<<"$depended" ||
      fail "$lib (package '${owner:-?}') is not among the package's dependencies"
  done
  check [ "$(dpkg-deb -f "$deb" Section)" = games ]
  dpkg-deb -x "$deb" "$tmp/root"
  check runs_headless "$tmp/root/usr/bin/korvalundrix"
else
  fail "cpack made no .deb"
fi

if [ "$failures" -gt 0 ]; then
  echo "install checks: $failures failed" >&2
  exit 1
fi
echo "install checks: $checks passed, 0 failed"
