#!/usr/bin/env python3
"""The field renderer draws the golden frames again to within one level a channel:
the three maps in fog, the fade's midpoint and a scene with a portrait, on the float
and the integer depth path (golden_frames.py says how they are made)."""
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


class GoldenFrames(unittest.TestCase):
    def test_frames_match_the_golden_images(self):
        require_game_dir(self)
        work = tempfile.mkdtemp(prefix="tavelle-golden-")
        self.addCleanup(shutil.rmtree, work, True)
        frames = golden_frames.Capture(BUILD, work)
        golden = sorted(os.listdir(golden_frames.GOLDEN_DIR))
        self.assertEqual(sorted(frames), [n for n in golden if n.endswith(".png")])
        for name, path in sorted(frames.items()):
            with self.subTest(name):
                want = Image.open(os.path.join(golden_frames.GOLDEN_DIR, name)).convert("RGB")
                got = Image.open(path).convert("RGB")
                self.assertEqual(got.size, want.size)
                worst = max(high for _, high in ImageChops.difference(got, want).getextrema())
                print("%s: largest difference %d" % (name, worst))
                self.assertLessEqual(worst, TOLERANCE, "%s differs by %d levels" % (name, worst))


if __name__ == "__main__":
    unittest.main()
