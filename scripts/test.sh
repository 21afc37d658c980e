#!/usr/bin/env bash
# Installs what the project needs, builds, and runs every check once. Nothing is
# retried: a test that fails once fails the run, and so does a test that skips itself.
#   release  the whole suite
#   asan     the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer
#   tsan     the threaded tests (sound streaming, the mixer) under ThreadSanitizer
#   fuzz     every target in fuzz/ over its seeds in fuzz/corpus/<target>/, then
#            FUZZ_SECONDS (default 20) of fuzzing from a fixed seed, two targets at a time
#   web      the web player (scripts/web.sh, its library cache reused), the text unit
#            tests built for the browser and run under node, and the browser tests in
#            headless Chromium
# Each stage's wall time is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_SECONDS=${FUZZ_SECONDS:-20}

bash scripts/install-deps.sh

# Headless: offscreen EGL video on Mesa, no sound card.
export SDL_VIDEODRIVER=offscreen
export SDL_AUDIODRIVER=dummy
export MESA_GL_VERSION_OVERRIDE=3.3
export MESA_GLSL_VERSION_OVERRIDE=330

TIMES=()
timed() {
  local name=$1 start=$SECONDS
  shift
  echo "=== $name ==="
  "$@"
  TIMES+=("$name: $((SECONDS - start)) s")
}

# ctest passes a run in which a test skipped itself; here that fails it. Tests that
# run only when asked for are disabled (DISABLED_ in GoogleTest) and listed as such.
run_ctest() {
  local log
  log=$(mktemp)
  ctest "$@" --no-tests=error 2>&1 | tee "$log"
  if grep -q "(Skipped)" "$log"; then
    echo "test.sh: tests were skipped (listed above); every test must run" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

suite() {
  cmake --preset "$1"
  cmake --build --preset "$1"
  run_ctest --preset "$1"
}

threaded() {
  cmake --preset tsan
  cmake --build --preset tsan --target test_sound test_audio
  run_ctest --preset tsan -L '^(sound|audio)$'
}

# One fuzz target: its seeds, then FUZZ_SECONDS of fuzzing from a fixed seed; new inputs
# go to a scratch corpus, the checked-in seeds stay as they are. Everything it says goes
# to its log; on a failure the log and the failing inputs are printed.
fuzz_target() {
  local name=$1 seeds=fuzz/corpus/$1 work=build-fuzz/fuzz-runs/$1
  mkdir -p "$work/corpus"
  # A target may forgive one library's own leak, named in fuzz/lsan/<target>.supp.
  local lsan=${LSAN_OPTIONS:-}
  [ -f "fuzz/lsan/$name.supp" ] && lsan="suppressions=$PWD/fuzz/lsan/$name.supp:print_suppressions=1"
  if ! LSAN_OPTIONS=$lsan "build-fuzz/fuzz/fuzz_$name" -seed=1 -max_total_time="$FUZZ_SECONDS" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" \
      "$work/corpus" "$seeds" >"$work/log" 2>&1; then
    cat "$work/log"
    local input
    for input in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
      [ -e "$input" ] && echo "input $input (base64): $(base64 -w0 "$input")"
    done
    echo "test.sh: fuzz_$name failed" >&2
    return 1
  fi
  echo "fuzz_$name: $(ls "$seeds" | wc -l) seeds, then ${FUZZ_SECONDS} s"
  grep -E "^stat::number_of_executed_units|^Done" "$work/log" || true
}

# The targets run two at a time, one a core; every one runs to its end, and the stage
# fails if any of them failed.
fuzz() {
  cmake --preset fuzz
  cmake --build --preset fuzz --target fuzz_targets
  rm -rf build-fuzz/fuzz-runs
  local source name running=0 failed=0
  for source in fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    if [ -z "$(ls -A "fuzz/corpus/$name" 2>/dev/null)" ]; then
      echo "test.sh: fuzz target $name has no seeds in fuzz/corpus/$name" >&2
      return 1
    fi
  done
  for source in fuzz/*.cpp; do
    if [ "$running" -ge 2 ]; then
      wait -n || failed=1
      running=$((running - 1))
    fi
    fuzz_target "$(basename "$source" .cpp)" &
    running=$((running + 1))
  done
  while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
  done
  return "$failed"
}

timed release suite release
timed asan suite asan
timed tsan threaded
timed fuzz fuzz
timed web bash -c 'bash scripts/web.sh &&
  ctest --test-dir build-web/player --output-on-failure --no-tests=error &&
  bash scripts/web/browser-test.sh'

echo "=== wall time ==="
printf '%s\n' "${TIMES[@]}" "total: ${SECONDS} s"
