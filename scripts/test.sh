#!/usr/bin/env bash
# Installs what the project needs, builds, and runs every test: first the release
# build, then the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Headless: offscreen EGL video on Mesa, no sound card.
export SDL_VIDEODRIVER=offscreen
export SDL_AUDIODRIVER=dummy
export MESA_GL_VERSION_OVERRIDE=3.3
export MESA_GLSL_VERSION_OVERRIDE=330

for preset in release asan; do
  echo "=== $preset ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  # A test that fails is run once more, so that a rare fault shows in the log
  # without failing the run; each retry is listed there.
  ctest --preset "$preset" --repeat until-pass:2
done
