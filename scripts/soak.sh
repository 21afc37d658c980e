#!/usr/bin/env bash
# Soak: 20,000 frames of monkey input on the demo with six F1 reloads, printing
# resident memory every 1,000 frames. Passes when resident memory 1,000 frames
# after the last reload is within 2 MiB of the same point after the first, when all six
# reloads took place, and when field frames that neither reload nor build a map allocated
# nothing on the heap (the run's first field frame, where the GL driver builds its draw
# code, aside). Not part of the test run: it takes minutes.
#   scripts/soak.sh [BUILD_DIR] [SEED] [FRAMES]
# FRAMES (default 20000, a multiple of 1000) shortens the run for a quick look;
# the six reloads are spread over it the same way.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seed=${2:-7}
frames=${3:-20000}
step=$((frames / 20))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Reloads at 2/20, 5/20, ... 17/20 of the run: three steps apart, the last three before the end.
# A key pressed while the window is minimised never reaches the game, so each reload first
# brings the window back, as a player would.
for k in 2 5 8 11 14 17; do
    echo "$((k * step)) restore"
    echo "$((k * step)) key F1"
done >"$work/reloads.txt"

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export MESA_GL_VERSION_OVERRIDE=3.3 MESA_GLSL_VERSION_OVERRIDE=330
"$build/tavelle-play" --data "$build/game" --frames "$frames" --monkey "$seed" --monkey-f1 0 \
    --input "$work/reloads.txt" --stats "$work/stats.json" --stats-every "$step" \
    2>"$work/stderr.txt" | tee "$work/report.txt"

python3 - "$work/report.txt" "$step" "$work/stats.json" <<'PY'
import json, re, sys
step = int(sys.argv[2])
pattern = r"frame (\d+): resident (\d+) KiB, heap in use (\d+) KiB, reloads (\d+)"
rows = {int(m.group(1)): (int(m.group(2)), int(m.group(3)))
        for m in re.finditer(pattern, open(sys.argv[1]).read())}
stats = json.load(open(sys.argv[3]))
first, last = rows[3 * step], rows[18 * step]
growth = (last[0] - first[0]) / 1024
print(f"resident {step} frames after the first reload {first[0] / 1024:.1f} MiB, after the last "
      f"{last[0] / 1024:.1f} MiB ({growth:+.1f} MiB); heap in use {first[1] / 1024:.1f} -> "
      f"{last[1] / 1024:.1f} MiB")
ok = abs(growth) <= 2.0
print("memory:", "flat" if ok else "GROWS")
reloads = stats["reloads"]
print(f"reloads: {reloads} of 6")
ok = ok and reloads == 6
if stats.get("heapCounter"):
    allocating = stats["steadyFieldFramesAllocating"]
    print(f"steady field frames that allocated: {allocating} of "
          f"{stats['steadyFieldFrames']} ({stats['steadyFieldAllocations']} allocations)")
    ok = ok and allocating == 0
sys.exit(0 if ok else 1)
PY
