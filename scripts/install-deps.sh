#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need, only those that are missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  clang libclang-rt-dev
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core libmpg123-dev libx11-dev libwayland-dev zlib1g-dev
  lame
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick time openbox x11-utils
  pulseaudio pulseaudio-utils
  sway grim weston
  dpkg-dev desktop-file-utils appstream man-db
  libclang-rt-14-dev clang-tidy strace
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "These packages are missing and there is no sudo to install them: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
