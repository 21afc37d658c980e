"""Helpers for end-to-end tests: run tavelle-play and read what it wrote."""
import atexit
import json
import os
import shutil
import subprocess
import tempfile
import unittest

from PIL import Image

PLAY = os.environ.get("TAVELLE_PLAY", "tavelle-play")
ZRN = os.environ.get("TAVELLE_ZRN", "zrn")
GAME_DIR = os.environ.get("TAVELLE_GAME_DIR", "")
FIXTURES = os.environ.get("TAVELLE_FIXTURES", "")


def scratch_dir(prefix):
    """A fresh temporary folder removed when the test process ends, so that a failing
    test can still read (and name) what it holds while it reports."""
    path = tempfile.mkdtemp(prefix=prefix)
    atexit.register(shutil.rmtree, path, True)
    return path


class PlayResult:
    def __init__(self, returncode, stdout, stderr, states, shots, audio_path, work):
        self.work = work  # the folder of the run's input and output files
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr
        self.states = states  # frame -> parsed state JSON
        self.shots = shots  # frame -> PIL RGB image
        self.audio_path = audio_path

    def messages(self):
        """The message boxes printed to stderr, as (caption, text) pairs."""
        out = []
        for line in self.stderr.splitlines():
            if line.startswith("MESSAGE "):
                caption, _, text = line[len("MESSAGE "):].partition(": ")
                out.append((caption, text))
        return out


def run_play(data_dir, frames, inputs="", shots=(), states=(), audio=False, env=None, timeout=600,
             unpacked=False, draw="all", extra_args=()):
    """Runs tavelle-play over data_dir (as a game folder played unpacked when unpacked is
    set); shots and states are frame numbers. draw="shots" rasterises only the frames
    shot, for long runs that check states."""
    work = scratch_dir("tavelle-e2e-")
    args = [PLAY, "--unpacked" if unpacked else "--data", data_dir, "--frames", str(frames),
            "--draw", draw] + list(extra_args)
    if inputs:
        path = os.path.join(work, "input.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(inputs)
        args += ["--input", path]
    for k in shots:
        args += ["--shot", "%d:%s" % (k, os.path.join(work, "shot%d.png" % k))]
    for k in states:
        args += ["--state", "%d:%s" % (k, os.path.join(work, "state%d.json" % k))]
    audio_path = os.path.join(work, "audio.wav") if audio else None
    if audio_path:
        args += ["--audio-out", audio_path]
    full_env = dict(os.environ)
    full_env.update(env or {})
    proc = subprocess.run(args, capture_output=True, timeout=timeout, env=full_env)
    stderr = proc.stderr.decode("utf-8", "replace")
    loaded_states = {}
    for k in states:
        path = os.path.join(work, "state%d.json" % k)
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                loaded_states[k] = json.load(f)
    loaded_shots = {}
    for k in shots:
        path = os.path.join(work, "shot%d.png" % k)
        if os.path.exists(path):
            loaded_shots[k] = Image.open(path).convert("RGB")
    return PlayResult(proc.returncode, proc.stdout.decode("utf-8", "replace"), stderr,
                      loaded_states, loaded_shots, audio_path, work)


def pack(root, out_path):
    """Packs a folder into an archive with zrn."""
    subprocess.run([ZRN, "pack", out_path, "--root", root], check=True, capture_output=True)


def pixel_close(actual, expected, tolerance=8):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def require_game_dir(test):
    if not GAME_DIR or not os.path.exists(os.path.join(GAME_DIR, "ZRN.dat")):
        test.fail("demo data missing at %r: build the content first" % GAME_DIR)


if __name__ == "__main__":
    unittest.main()
