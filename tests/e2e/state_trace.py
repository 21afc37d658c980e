#!/usr/bin/env python3
"""The golden state trace: the demo played for a few hundred frames from one input
script (a walk, the square's marker scene read with clicks, a walk on), with the
game state written every EVERY frames, one JSON document a line. Any drift in the
frame pipeline (timing, input latch, pick, walking, events, scenario, sound calls)
shows up as a changed line.

Regenerate it (after a change that is meant to alter the game's state) with

    python3 tests/e2e/state_trace.py [BUILD_DIR]

which runs BUILD_DIR/tavelle-play (default: build) on BUILD_DIR/game and writes
tests/golden/state-trace.jsonl. test_state_trace.py runs the same and compares
the text exactly.
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TRACE_PATH = os.path.join(os.path.dirname(HERE), "golden", "state-trace.jsonl")

FRAMES = 540
EVERY = 20
# The square's marker starts a scene; clicks on the same spot read it to its end.
INPUTS = ("20 clickat 24 15\n"
          "60 clickat 22 13\n"
          + "".join("%d clickat 22 13\n" % k for k in range(70, 400, 6))
          + "420 clickat 16.5 14.5\n"
          "480 clickat 16.5 21\n")

HEADLESS = {
    "SDL_VIDEODRIVER": "offscreen",
    "SDL_AUDIODRIVER": "dummy",
    "MESA_GL_VERSION_OVERRIDE": "3.3",
    "MESA_GLSL_VERSION_OVERRIDE": "330",
}


def Capture(build_dir):
    """Runs the script and returns (trace text, stderr of the run)."""
    work = tempfile.mkdtemp(prefix="tavelle-trace-")
    try:
        script = os.path.join(work, "input.txt")
        with open(script, "w", encoding="utf-8") as f:
            f.write(INPUTS)
        frames = list(range(EVERY - 1, FRAMES, EVERY))
        args = [os.path.join(build_dir, "tavelle-play"), "--data", os.path.join(build_dir, "game"),
                "--frames", str(FRAMES), "--input", script]
        for k in frames:
            args += ["--state", "%d:%s" % (k, os.path.join(work, "%d.json" % k))]
        env = dict(os.environ)
        env.update(HEADLESS)
        proc = subprocess.run(args, capture_output=True, env=env, timeout=900)
        stderr = proc.stderr.decode("utf-8", "replace")
        if proc.returncode != 0:
            raise RuntimeError("tavelle-play failed (%d): %s" % (proc.returncode, stderr))
        lines = []
        for k in frames:
            with open(os.path.join(work, "%d.json" % k), encoding="utf-8") as f:
                lines.append(f.read().rstrip("\n") + "\n")
        return "".join(lines), stderr
    finally:
        shutil.rmtree(work, True)


def main():
    build_dir = sys.argv[1] if len(sys.argv) > 1 else "build"
    trace, _ = Capture(build_dir)
    with open(TRACE_PATH, "w", encoding="utf-8") as f:
        f.write(trace)
    print("wrote %s (%d states)" % (TRACE_PATH, trace.count("\n")))


if __name__ == "__main__":
    main()
