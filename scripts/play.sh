#!/usr/bin/env bash
# Installs what the project needs, builds the game and its demo data, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
cd build/game
exec ../tavelle "$@"
