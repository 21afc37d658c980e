#!/usr/bin/env python3
"""The field renderer draws the golden frames again to within one level a channel:
the three maps in fog, the fade's midpoint and a scene with a portrait, on the float
and the integer depth path (golden_frames.py says how they are made). A device that
draws into one target at a time draws the fog in separate passes: the same float fog
frames, and one line on stderr that says so. The driver's quick mode, which rasterises
only the frames it shoots, gives the very same frames: no frame reads pixels that an
earlier one drew, so the long state-checking runs may skip the others' filling."""
import os
import shutil
import sys
import tempfile
import unittest

from PIL import Image, ImageChops

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import golden_frames  # noqa: E402
from tavelle_e2e import require_game_dir  # noqa: E402

BUILD = os.environ["TAVELLE_BUILD_DIR"]
TOLERANCE = 1
SEPARATE_PASSES = "the fog is drawn in separate passes"
# The separate passes take the float depth path, so they must give its fog frames.
SEPARATE = {"separate": ["--refuse", "second-target"]}
SEPARATE_STORY_FRAMES = {25: "map1-fog"}


class GoldenFrames(unittest.TestCase):
    def test_frames_match_the_golden_images(self):
        require_game_dir(self)
        work = tempfile.mkdtemp(prefix="tavelle-golden-")
        self.addCleanup(shutil.rmtree, work, True)
        frames, errors = golden_frames.Capture(BUILD, os.path.join(work, "paths"))
        golden = sorted(n for n in os.listdir(golden_frames.GOLDEN_DIR) if n.endswith(".png"))
        self.assertEqual(sorted(frames), golden)
        separate, separate_errors = golden_frames.Capture(
            BUILD, os.path.join(work, "separate"), SEPARATE, SEPARATE_STORY_FRAMES)
        self.assertEqual(sorted(separate), ["map1-fog-separate.png", "map3-fog-separate.png"])
        frames.update(separate)
        errors.update(separate_errors)
        for name, path in sorted(frames.items()):
            with self.subTest(name):
                want_name = name.replace("-separate.png", "-float.png")
                want = Image.open(os.path.join(golden_frames.GOLDEN_DIR, want_name)).convert("RGB")
                got = Image.open(path).convert("RGB")
                self.assertEqual(got.size, want.size)
                worst = max(high for _, high in ImageChops.difference(got, want).getextrema())
                print("%s: largest difference %d" % (name, worst))
                self.assertLessEqual(worst, TOLERANCE, "%s differs by %d levels" % (name, worst))
        only_shots, _ = golden_frames.Capture(BUILD, os.path.join(work, "only-shots"),
                                              {"float": {}}, draw="shots")
        self.assertEqual(sorted(only_shots), sorted(n for n in frames if n.endswith("-float.png")))
        for name, path in sorted(only_shots.items()):
            with self.subTest("only shots drawn: " + name):
                same = ImageChops.difference(Image.open(path).convert("RGB"),
                                             Image.open(frames[name]).convert("RGB"))
                self.assertIsNone(same.getbbox(), "%s differs when only the shots are drawn" % name)
        for path_name, runs in errors.items():
            with self.subTest(path_name):
                said = [stderr.count(SEPARATE_PASSES) for stderr in runs]
                self.assertEqual(said, [1 if path_name == "separate" else 0] * len(runs))


if __name__ == "__main__":
    unittest.main()
