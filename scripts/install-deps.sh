#!/usr/bin/env bash
# Installs every Debian package the project needs. Safe to run again: apt-get
# skips what is already there, and nothing is fetched when all is present.
set -euo pipefail

PACKAGES=(
  g++ clang clang-format libclang-rt-14-dev cmake ninja-build pkg-config git
  libsdl2-dev libepoxy-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0 libegl-dev libgl-dev
  xvfb xauth xdotool openbox x11-utils
  libfreetype-dev libfontconfig-dev fontconfig fonts-ipafont-gothic
  libpng-dev libvorbis-dev libogg-dev vorbis-tools sox imagemagick
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pil python3-numpy
  dpkg-dev man-db appstream lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
