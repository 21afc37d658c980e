"""Monkey runs: seeded random input over the demo, in the plain and the sanitizer builds.

In the sanitizer build the driver runs under ASan and UBSan with leak detection on,
so a leak, an invalid access or undefined behaviour anywhere in these runs fails it.
The runs check states and shoot no frame, so they are not rasterised (--draw shots):
every draw call is still made and checked, only GL's filling of pixels is skipped."""
import json
import os
import subprocess
import unittest
from concurrent.futures import ThreadPoolExecutor

from tavelle_e2e import GAME_DIR, PLAY, require_game_dir, scratch_dir

FRAMES = 2000


def monkey(seed, frames, extra=()):
    work = scratch_dir("tavelle-monkey-")
    stats = os.path.join(work, "stats.json")
    state = os.path.join(work, "state.json")
    args = [PLAY, "--data", GAME_DIR, "--frames", str(frames), "--monkey", str(seed),
            "--stats", stats, "--state", "%d:%s" % (frames - 1, state),
            "--draw", "shots"] + list(extra)
    proc = subprocess.run(args, capture_output=True, timeout=1800)
    result = {"returncode": proc.returncode, "stderr": proc.stderr.decode("utf-8", "replace"),
              "stdout": proc.stdout.decode("utf-8", "replace"), "stats": None, "state": None}
    for key, path in (("stats", stats), ("state", state)):
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                result[key] = json.load(f)
    return result


class MonkeyRuns(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_two_seeds_run_to_the_end_and_report(self):
        # Many actions, a fair share of them F1, so that both seeds reload and play scenes.
        extra = ("--monkey-rate", "30", "--monkey-f1", "100")
        with ThreadPoolExecutor(max_workers=2) as pool:
            runs = list(pool.map(lambda seed: monkey(seed, FRAMES, extra), (11, 12)))
        for seed, r in zip((11, 12), runs):
            with self.subTest(seed=seed):
                self.assertEqual(r["returncode"], 0, r["stderr"][-4000:])
                stats = r["stats"]
                self.assertIsNotNone(stats)
                self.assertEqual(stats["frames"], FRAMES)
                states = stats["frameStates"]
                self.assertEqual(sum(states.values()), FRAMES)
                self.assertGreater(states["field"], 0)
                self.assertGreater(states["scenario"], 0)
                self.assertGreater(stats["reloads"], 0)
                self.assertEqual(states["loading"], 2 * (stats["reloads"] + 1))
                self.assertIn(1, stats["mapsVisited"])
                self.assertEqual(stats["messages"], 0, r["stderr"][-4000:])
                self.assertGreater(stats["peakResidentBytes"], 0)
                self.assertIn("frames run: %d" % FRAMES, r["stdout"])
                # Field frames that neither reload nor build a map allocate nothing (the
                # sanitizer builds have no heap counter).
                if stats["heapCounter"]:
                    self.assertGreater(stats["steadyFieldFrames"], 0)
                    self.assertEqual(stats["steadyFieldFramesAllocating"], 0,
                                     "%d allocations" % stats["steadyFieldAllocations"])

    def test_the_same_seed_plays_the_same_game(self):
        runs = [monkey(5, 400, ("--monkey-rate", "40")) for _ in range(2)]
        for r in runs:
            self.assertEqual(r["returncode"], 0, r["stderr"][-4000:])
        first, second = (r["state"] for r in runs)
        self.assertIsNotNone(first)
        self.assertEqual(first, second)
        for key in ("frameStates", "scenariosStarted", "reloads", "mapsVisited", "messages"):
            self.assertEqual(runs[0]["stats"][key], runs[1]["stats"][key], key)


if __name__ == "__main__":
    unittest.main()
