#!/usr/bin/env bash
# Builds the web player and exports the demo game as a static site in build-web/demo/;
# builds the text unit tests for the browser too (ctest --test-dir build-web/player runs them).
#   scripts/web.sh           install what is missing, build, export
#   scripts/web.sh --serve   the same, then serve build-web/demo on 127.0.0.1
# SDL2, Ogg, Vorbis and FreeType are built for the browser once, from Debian's source
# packages, into build-web/deps (kept between runs; delete it to build them again).
set -euo pipefail
cd "$(dirname "$0")/.."

SERVE=0
PORT=${PORT:-8000}
for arg in "$@"; do
  case $arg in
    --serve) SERVE=1 ;;
    *) echo "usage: scripts/web.sh [--serve]" >&2; exit 2 ;;
  esac
done

WEB_PACKAGES=(emscripten chromium python3-fonttools fonts-ipafont-gothic dpkg-dev googletest)
install_web_packages() {
  local missing=() p
  for p in "${WEB_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # Node and npm from Debian unless the machine already has both: a Node from elsewhere
  # carries its own npm, which Debian's npm package conflicts with.
  command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

bash scripts/install-deps.sh
install_web_packages

# The desktop tools make the demo's data and the site.
cmake --preset release >/dev/null
cmake --build --preset release --target zrn demo_content

bash scripts/web/build-libs.sh

# emscripten 3.1.6 finds its optimiser's modules only through NODE_PATH; node runs
# configure-time programs without emcmake's flag that newer node refuses.
export NODE_PATH=/usr/share/nodejs
if [ ! -f build-web/player/build.ninja ]; then
  emcmake cmake -S . -B build-web/player -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/node
fi
ninja -C build-web/player -j 2 web_player web_text_tests

build/zrn web build/game build-web/demo --title "Tavelle" --player build-web/player/web

if [ "$SERVE" -eq 1 ]; then
  echo "Serving the demo at http://127.0.0.1:$PORT/ (Ctrl+C stops)"
  exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory build-web/demo "$PORT"
fi
