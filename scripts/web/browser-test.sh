#!/usr/bin/env bash
# Runs the browser tests (tests/web) on the site scripts/web.sh exported, in Debian's
# Chromium driven by npm's playwright-core, installed once into build-web/browser-test
# without its own browser download.
set -euo pipefail
cd "$(dirname "$0")/../.."

MODULES=build-web/browser-test/node_modules
if [ ! -d "$MODULES/playwright-core" ]; then
  mkdir -p build-web/browser-test
  npm install --prefix build-web/browser-test --ignore-scripts --no-audit --no-fund playwright-core@1
fi
NODE_PATH=$PWD/$MODULES node --test tests/web/
