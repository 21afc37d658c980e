"""zrn new: the starter game is lint-clean, its map passes the checks the demo's maps
are built with, and the driver plays it unpacked up to its first scene; zrn pack GAME
OUT makes of it a game to hand out that plays as the folder does."""
import os
import re
import subprocess
import sys
import unittest

from tavelle_e2e import ZRN, run_play, scratch_dir

sys.path.insert(0, os.path.join(os.environ["TAVELLE_SOURCE_DIR"], "content", "tools"))
import build_maps  # noqa: E402

# The marker stands at world (16, 20); through map 1's camera that is this pixel.
MARKER = (512, 294)


def tokens(path):
    with open(path, "rb") as f:
        return [t for t in re.split(rb"[ =|\],\nEOF]+", f.read()) if t]


class NewGame(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = os.path.join(scratch_dir("tavelle-new-"), "game")
        cls.made = subprocess.run([ZRN, "new", cls.folder], capture_output=True, timeout=120)

    def test_lint_finds_nothing(self):
        self.assertEqual(self.made.returncode, 0, self.made.stderr)
        lint = subprocess.run([ZRN, "lint", self.folder], capture_output=True, timeout=120)
        self.assertEqual(lint.returncode, 0, lint.stdout + lint.stderr)
        self.assertRegex(lint.stdout, rb"^\d+ files checked, 0 warnings\n$")

    def test_refuses_a_folder_that_is_not_empty(self):
        again = subprocess.run([ZRN, "new", self.folder], capture_output=True, timeout=60)
        self.assertEqual(again.returncode, 1)
        self.assertIn(b"not empty", again.stderr)

    def test_map_keeps_the_lead_on_its_paths_and_the_villager_in_her_pen(self):
        values = [int(t) for t in tokens(os.path.join(self.folder, "Data", "map1attribute.dat"))[1:]]
        grid = [values[r * 32:(r + 1) * 32] for r in range(32)]
        chara = tokens(os.path.join(self.folder, "Data", "map1chara.dat"))
        x, z = float(chara[2]), float(chara[4])

        class Source:
            charas = [(int(chara[5]), x, z, int(chara[6]))]

        game = build_maps.Game(ZRN)
        # Only the exit home (50) is used: maps 2 and 3 are never reached.
        game.arrivals = {50: game.arrivals[50]}
        build_maps.Validate(game, self.folder, {n: Source for n in (1, 2, 3)}, {n: grid for n in (1, 2, 3)})

    def test_pack_writes_a_game_that_plays_as_the_folder_does(self):
        out = os.path.join(scratch_dir("tavelle-release-"), "release")
        packed = subprocess.run([ZRN, "pack", self.folder, out], capture_output=True, timeout=120)
        self.assertEqual(packed.returncode, 0, packed.stdout + packed.stderr)
        # Lint of the result ends the output.
        self.assertRegex(packed.stdout, rb"\d+ files checked, 0 warnings\n$")
        loose = ["CG/NowLoading.bmp", "Sound/click.wav", "Sound/talk.wav", "Sound/normal.ogg",
                 "Sound/korvath.ogg"]
        for name in ["ZRN.dat"] + loose:
            self.assertTrue(os.path.isfile(os.path.join(out, name)), name)
        listed = subprocess.run([ZRN, "list", os.path.join(out, "ZRN.dat")], capture_output=True,
                                check=True).stdout
        self.assertIn(b"./Scenario/marker.txt", listed)
        for name in loose:
            self.assertNotIn(name.encode(), listed)
        inputs = "20 click %d %d\n200 click %d %d\n" % (MARKER + MARKER)
        frames = (150, 329)
        runs = [run_play(out, 330, inputs=inputs, states=frames, shots=frames),
                run_play(self.folder, 330, inputs=inputs, states=frames, shots=frames, unpacked=True)]
        for r in runs:
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.messages(), [])
        for k in frames:
            self.assertEqual(runs[0].states[k], runs[1].states[k], k)
            self.assertEqual(runs[0].shots[k].tobytes(), runs[1].shots[k].tobytes(), k)

    def test_pack_refuses_to_write_into_the_game_folder(self):
        for out in (self.folder, os.path.join(self.folder, "release")):
            refused = subprocess.run([ZRN, "pack", self.folder, out], capture_output=True, timeout=60)
            self.assertEqual(refused.returncode, 1, out)
            self.assertIn(b"inside the game folder", refused.stderr)
            self.assertFalse(os.path.exists(os.path.join(out, "ZRN.dat")), out)

    def test_the_marker_starts_the_first_scene(self):
        inputs = "20 click %d %d\n200 click %d %d\n" % (MARKER + MARKER)
        r = run_play(self.folder, 330, inputs=inputs, states=(150, 329), shots=(329,),
                     unpacked=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        self.assertEqual(r.states[150]["scenario"]["current"], 2)
        self.assertEqual(r.states[150]["scenario"]["text"], "ここは新しいゲームの広場です。")
        layers = r.states[329]["scenario"]["layers"]
        self.assertEqual([(l["index"], l["picture"]) for l in layers if l["visible"]], [(1, 2)])
        self.assertEqual(r.states[329]["scenario"]["text"], "どちらの曲にしますか？")


if __name__ == "__main__":
    unittest.main()
