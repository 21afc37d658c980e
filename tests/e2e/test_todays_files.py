"""Files from today's tools in a game folder: scripts saved as UTF-8 (with and without a
BOM) and pictures saved as PNG play as their Shift-JIS and BMP twins do, unpacked and
packed by zrn pack GAME OUT; a character Shift-JIS cannot hold is named with its file
and line, and only that script is lost."""
import os
import shutil
import subprocess
import unittest

from PIL import Image

from tavelle_e2e import ZRN, run_play, scratch_dir

# The starter game's marker stands at world (16, 20); through map 1's camera that is this pixel.
MARKER = (512, 294)
INPUTS = "20 click %d %d\n200 click %d %d\n" % (MARKER + MARKER)
FRAMES = (150, 329)
# The loading picture is a loose file the game opens by path, not an archive key.
LOOSE_BITMAPS = {os.path.join("CG", "NowLoading.bmp")}


def resave_scripts_as_utf8(folder):
    """Every script in UTF-8, the marker's with a BOM, line ends left as they are."""
    scenario = os.path.join(folder, "Scenario")
    for name in os.listdir(scenario):
        path = os.path.join(scenario, name)
        with open(path, "rb") as f:
            text = f.read().decode("cp932")
        with open(path, "wb") as f:
            f.write(("\ufeff" if name == "marker.txt" else "").encode("utf-8") + text.encode("utf-8"))


def resave_bitmaps_as_png(folder):
    count = 0
    for sub in ("CG", "X"):
        for name in os.listdir(os.path.join(folder, sub)):
            relative = os.path.join(sub, name)
            if not name.endswith(".bmp") or relative in LOOSE_BITMAPS:
                continue
            path = os.path.join(folder, relative)
            Image.open(path).save(path[:-4] + ".png")
            os.remove(path)
            count += 1
    return count


class TodaysFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        work = scratch_dir("tavelle-todays-")
        cls.twin = os.path.join(work, "twin")
        subprocess.run([ZRN, "new", cls.twin], check=True, capture_output=True, timeout=120)
        cls.today = os.path.join(work, "today")
        shutil.copytree(cls.twin, cls.today)
        resave_scripts_as_utf8(cls.today)
        cls.pngs = resave_bitmaps_as_png(cls.today)
        cls.work = work

    def play(self, folder, unpacked):
        r = run_play(folder, 330, inputs=INPUTS, states=FRAMES, shots=(FRAMES[-1],),
                     unpacked=unpacked)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r

    def test_plays_as_its_shift_jis_and_bmp_twin_unpacked_and_packed(self):
        self.assertGreater(self.pngs, 10)
        lint = subprocess.run([ZRN, "lint", self.today], capture_output=True, timeout=120)
        self.assertEqual(lint.returncode, 0, lint.stdout)
        self.assertIn(b"./Scenario/marker.txt: note: saved as UTF-8", lint.stdout)
        self.assertIn(b"./X/mapchip.bmp: note: read from the PNG", lint.stdout)
        self.assertRegex(lint.stdout, rb"0 warnings, \d+ notes\n$")
        out = os.path.join(self.work, "release")
        packed = subprocess.run([ZRN, "pack", self.today, out], capture_output=True, timeout=120)
        self.assertEqual(packed.returncode, 0, packed.stdout + packed.stderr)
        # What the folder serves and the archive holds is what the game reads: the twin's
        # own bytes.
        for source in (self.today, os.path.join(out, "ZRN.dat")):
            for key, twin_path in (("./Scenario/marker.txt", "Scenario/marker.txt"),
                                   ("./X/mapchip.bmp", "X/mapchip.bmp")):
                held = subprocess.run([ZRN, "cat", source, key], capture_output=True,
                                      check=True).stdout
                with open(os.path.join(self.twin, twin_path), "rb") as f:
                    self.assertEqual(held, f.read(), (source, key))
        twin = self.play(self.twin, True)
        self.assertEqual(twin.messages(), [])
        self.assertEqual(twin.states[150]["scenario"]["text"], "ここは新しいゲームの広場です。")
        for name, run in (("unpacked", self.play(self.today, True)),
                          ("packed", self.play(out, False))):
            self.assertEqual(run.messages(), [], name)
            for k in FRAMES:
                self.assertEqual(run.states[k], twin.states[k], (name, k))
            self.assertEqual(run.shots[FRAMES[-1]].tobytes(), twin.shots[FRAMES[-1]].tobytes(),
                             name)

    def test_a_character_shift_jis_cannot_hold_is_named_with_its_line(self):
        broken = os.path.join(self.work, "broken")
        shutil.copytree(self.today, broken)
        path = os.path.join(broken, "Scenario", "marker.txt")
        with open(path, "rb") as f:
            lines = f.read().split(b"\n")
        lines[1] = "한".encode("utf-8") + lines[1]
        with open(path, "wb") as f:
            f.write(b"\n".join(lines))
        expected = "./Scenario/marker.txt:2: the character U+D55C has no Shift-JIS (CP932) form"
        lint = subprocess.run([ZRN, "lint", broken], capture_output=True, timeout=120)
        self.assertEqual(lint.returncode, 1)
        self.assertIn(expected, lint.stdout.decode("cp932"))
        packed = subprocess.run([ZRN, "pack", broken, os.path.join(self.work, "refused")],
                                capture_output=True, timeout=120)
        self.assertEqual(packed.returncode, 1)
        self.assertIn("marker.txt:2: the character U+D55C", packed.stderr.decode("utf-8"))
        r = self.play(broken, True)
        self.assertIn(("Error", "結合ファイルデータRead Error"), r.messages())
        self.assertIn("tavelle: ./Scenario/marker.txt: line 2: the character U+D55C has no Shift-JIS",
                      r.stderr)
        # The other scripts still load: the marker's slot alone is empty.
        self.assertEqual(r.states[150]["scenario"]["text"], "")


if __name__ == "__main__":
    unittest.main()
