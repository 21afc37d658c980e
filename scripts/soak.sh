#!/usr/bin/env bash
# Soak: 20,000 frames of monkey input on the demo with six F1 reloads, printing
# resident memory every 1,000 frames. Passes when resident memory 1,000 frames
# after the last reload is within 2 MiB of the same point after the first, and
# when field frames that neither reload nor build a map allocated nothing on the
# heap after the first reload. Not part of the test run: it takes minutes.
#   scripts/soak.sh [BUILD_DIR] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seed=${2:-7}
frames=20000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for k in 2000 5000 8000 11000 14000 17000; do
    echo "$k key F1"
done >"$work/reloads.txt"

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export MESA_GL_VERSION_OVERRIDE=3.3 MESA_GLSL_VERSION_OVERRIDE=330
"$build/tavelle-play" --data "$build/game" --frames "$frames" --monkey "$seed" --monkey-f1 0 \
    --input "$work/reloads.txt" --stats "$work/stats.json" --stats-every 1000 \
    2>"$work/stderr.txt" | tee "$work/report.txt"

python3 - "$work/report.txt" <<'PY'
import re, sys
rows = [tuple(int(v) for v in m.groups())
        for m in re.finditer(r"frame (\d+): resident (\d+) KiB, reloads (\d+), heap allocations (\d+)",
                             open(sys.argv[1]).read())]
after_first = next(r for r in rows if r[0] == 3000)
after_last = next(r for r in rows if r[0] == 18000)
end = rows[-1]
growth = (after_last[1] - after_first[1]) / 1024
print(f"resident 1000 frames after the first reload {after_first[1] / 1024:.1f} MiB, "
      f"after the last {after_last[1] / 1024:.1f} MiB ({growth:+.1f} MiB), at the end {end[1] / 1024:.1f} MiB")
ok = abs(growth) <= 2.0
print("memory:", "flat" if ok else "GROWS")
sys.exit(0 if ok else 1)
PY
