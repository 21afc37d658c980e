#!/usr/bin/env python3
"""Checks that a game's wanderers stay inside their pens over a long monkey run.

tavelle-play plays the game folder with seeded random input (after an optional
scripted opening, which can bring the story to where the wanderers are out) and
writes the state every few frames; every active character other than the lead must
stand strictly inside one of the pens given for the map it is on. A pen is a
rectangle of world units, x0 z0 x1 z1, the open ground inside its walls.

usage: pen_check.py GAME_DIR --pen MAP:X0,Z0,X1,Z1 [--pen ...] [--frames N] [--seed S]
                    [--every K] [--input FILE] [--monkey-from K] [--unpacked]

Prints a JSON report (states read, characters checked per map, strays) and exits 1
when a character was outside its pens, or the run itself failed.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

PLAY = os.environ.get("TAVELLE_PLAY", "tavelle-play")


def ParsePen(text):
    """'MAP:X0,Z0,X1,Z1' -> (map, (x0, z0, x1, z1))."""
    number, _, box = text.partition(":")
    values = [float(v) for v in box.split(",")]
    if len(values) != 4 or values[0] >= values[2] or values[1] >= values[3]:
        raise argparse.ArgumentTypeError("a pen is MAP:X0,Z0,X1,Z1 with X0 < X1 and Z0 < Z1, got %r" % text)
    return int(number), tuple(values)


def Strays(state, pens):
    """The characters of one state that stand outside every pen of their map."""
    field = state["field"]
    boxes = pens.get(field["map"], [])
    out = []
    for c in field["characters"]:
        if not c["active"]:
            continue
        if not any(x0 < c["x"] < x1 and z0 < c["z"] < z1 for x0, z0, x1, z1 in boxes):
            out.append({"frame": state["frame"], "map": field["map"], "entry": c["entry"],
                        "number": c["number"], "x": c["x"], "z": c["z"]})
    return out


def CheckStates(states, pens):
    """Goes through the states in frame order: how many characters were checked on
    each map, and every one found outside its pens."""
    checked, strays = {}, []
    for state in states:
        active = [c for c in state["field"]["characters"] if c["active"]]
        number = state["field"]["map"]
        checked[number] = checked.get(number, 0) + len(active)
        strays += Strays(state, pens)
    return {"states": len(states), "checked": checked, "strays": strays}


def RunPenCheck(game_dir, pens, frames, seed, every=10, input_path=None, monkey_from=0,
                unpacked=False, rate=30, timeout=1800):
    """Plays the run and checks it; pens maps a map number to its rectangles. Returns
    the report, with the driver's exit code and the end of its stderr."""
    work = tempfile.mkdtemp(prefix="tavelle-pens-")
    try:
        args = [PLAY, "--unpacked" if unpacked else "--data", game_dir, "--frames", str(frames),
                "--draw", "shots", "--monkey", str(seed), "--monkey-rate", str(rate),
                "--monkey-f1", "0", "--monkey-from", str(monkey_from)]
        if input_path:
            args += ["--input", input_path]
        sampled = list(range(0, frames, every))
        for k in sampled:
            args += ["--state", "%d:%s" % (k, os.path.join(work, "%d.json" % k))]
        proc = subprocess.run(args, capture_output=True, timeout=timeout)
        states = []
        for k in sampled:
            path = os.path.join(work, "%d.json" % k)
            if os.path.exists(path):
                with open(path, encoding="utf-8") as f:
                    states.append(json.load(f))
    finally:
        shutil.rmtree(work, True)
    report = CheckStates(states, pens)
    report["returncode"] = proc.returncode
    report["stderr"] = proc.stderr.decode("utf-8", "replace")[-2000:]
    return report


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("game_dir")
    parser.add_argument("--pen", type=ParsePen, action="append", required=True)
    parser.add_argument("--frames", type=int, default=20000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--every", type=int, default=10)
    parser.add_argument("--input")
    parser.add_argument("--monkey-from", type=int, default=0)
    parser.add_argument("--unpacked", action="store_true")
    options = parser.parse_args()
    pens = {}
    for number, box in options.pen:
        pens.setdefault(number, []).append(box)
    report = RunPenCheck(options.game_dir, pens, options.frames, options.seed, options.every,
                         options.input, options.monkey_from, options.unpacked)
    json.dump(report, sys.stdout, indent=1)
    print()
    sys.exit(1 if report["strays"] or report["returncode"] != 0 else 0)


if __name__ == "__main__":
    main()
