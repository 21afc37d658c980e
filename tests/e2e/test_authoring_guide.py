"""Every example of docs/authoring.md runs. Each scenario example is put into the starter
game as the marker's script, played with tavelle-play with a click every ten frames, and
the check written under it in the guide must hold for the last state. The map files of
the guide's small map replace the starter's map 1; zrn lint must find nothing in them,
and the checks under them must hold for the states of the frames they name. The
screenshots the guide shows are written to BUILD/docs. The runs are independent and go
two at a time. Only the frames shot are rasterised (--draw shots). The guide's map and
the starter game each play 6,000 frames, and every wanderer must stay in its pen. zrn map
draws the guide's map as tests/golden/zrn-map/guide.png shows it (after a change meant
to alter the picture, look at BUILD/docs/authoring-map-above.png and rewrite the golden
with TAVELLE_WRITE_GOLDEN=1 ctest --preset release -R authoring_guide)."""
import concurrent.futures
import os
import re
import shutil
import subprocess
import unittest

from PIL import Image

from tavelle_e2e import ZRN, pixel_close, run_play, scratch_dir

GUIDE = os.path.join(os.environ["TAVELLE_SOURCE_DIR"], "docs", "authoring.md")
DOCS = os.path.join(os.environ["TAVELLE_BUILD_DIR"], "docs")
GOLDEN_MAP = os.path.join(os.environ["TAVELLE_SOURCE_DIR"], "tests", "golden", "zrn-map", "guide.png")
FRAMES = 100
MARKER = (512, 294)  # where the starter's question mark stands on screen
CLICKS = "5 click %d %d\n" % MARKER + "".join("%d click 1000 740\n" % k for k in range(20, FRAMES, 10))


def shown(state):
    """The last page's text as the player saw it: [exit] stays on the page, undrawn."""
    return state["scenario"]["text"].split("[exit]")[0].rstrip("\n")


def comments(lines, i):
    """The guide's notes for the test after line i: (kind, value) of each "<!-- kind: value -->"."""
    found = []
    while i < len(lines) and lines[i].startswith("<!-- "):
        kind, _, value = lines[i][5:-4].partition(": ")
        found.append((kind, value))
        i += 1
    return found


def examples():
    """(line, script, checks, extra input, {frame: screenshot name}) for each example."""
    found = []
    lines = open(GUIDE, encoding="utf-8").read().split("\n")
    i = 0
    while i < len(lines):
        if lines[i] != "```scenario":
            i += 1
            continue
        start = i + 1
        end = lines.index("```", start)
        checks, inputs, shots = [], "", {}
        i = end + 1
        for kind, value in comments(lines, i):
            if kind == "check":
                checks.append(value)
            elif kind == "input":
                inputs += value + "\n"
            elif kind.startswith("shot-at "):
                shots[int(kind[8:])] = value
        found.append((start, lines[start:end], checks, inputs, shots))
    return found


NUMBER = re.compile(r"-?[0-9.]+$")
LINT_CLEAN = re.compile(rb"\d+ files? checked, 0 warnings\n")
PEN_FRAMES = 6000


def walkers_astray(states, pens, size):
    """(frame, entry, x, z) of every active wanderer outside its pen or the map, over
    the states given; pens maps a character number to (x0, z0, x1, z1), size is the
    map's (width, depth) in world units."""
    astray = []
    for frame, state in sorted(states.items()):
        for c in state["field"]["characters"]:
            if not c["active"]:
                continue
            x0, z0, x1, z1 = pens[c["number"]]
            inside = x0 <= c["x"] <= x1 and z0 <= c["z"] <= z1
            on_map = 0 <= c["x"] <= size[0] and 0 <= c["z"] <= size[1]
            if not (inside and on_map):
                astray.append((frame, c["entry"], c["x"], c["z"]))
    return astray


def map_example():
    """The small map: {file name: its numbers, line by line, without the guide's notes},
    its input, {frame: [checks]} and {frame: screenshot name}."""
    files, inputs, checks, shots = {}, "", {}, {}
    lines = open(GUIDE, encoding="utf-8").read().split("\n")
    for i, line in enumerate(lines):
        if not line.startswith("```text map"):
            continue
        end = lines.index("```", i + 1)
        numbers = []
        for row in lines[i + 1:end]:
            words = row.split()
            count = next((k for k, w in enumerate(words) if not NUMBER.match(w)), len(words))
            numbers.append(" ".join(words[:count]))
        files[line[len("```text "):]] = numbers
        for kind, value in comments(lines, end + 1):
            if kind == "input":
                inputs += value + "\n"
            elif kind.startswith("check-at "):
                checks.setdefault(int(kind[9:]), []).append(value)
            elif kind.startswith("shot-at "):
                shots[int(kind[8:])] = value
    return files, inputs, checks, shots


class Guide(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.base = os.path.join(scratch_dir("tavelle-guide-"), "game")
        subprocess.run([ZRN, "new", cls.base], check=True, capture_output=True, timeout=120)
        os.makedirs(DOCS, exist_ok=True)

    def test_every_example_runs_and_shows_what_the_guide_says(self):
        found = examples()
        self.assertGreaterEqual(len(found), 10, "the guide's examples were not found")

        def play(example):
            line, script, checks, inputs, shots = example
            folder = scratch_dir("tavelle-example-")
            shutil.copytree(self.base, folder, dirs_exist_ok=True)
            with open(os.path.join(folder, "Scenario", "marker.txt"), "wb") as f:
                f.write("".join(l + "\r\n" for l in script).encode("cp932"))
            return run_play(folder, FRAMES, inputs=CLICKS + inputs, states=(FRAMES - 1,),
                            shots=tuple(shots), unpacked=True, draw="shots")

        with concurrent.futures.ThreadPoolExecutor(2) as pool:
            runs = list(pool.map(play, found))
        for (line, script, checks, inputs, shots), r in zip(found, runs):
            with self.subTest(line=line):
                self.assertTrue(checks, "example at line %d has no check" % line)
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertEqual(r.messages(), [])
                state = r.states[FRAMES - 1]
                for check in checks:
                    self.assertTrue(eval(check, {"s": state, "shown": shown}), "%s\n%s" % (check, state["scenario"]))
                for frame, name in shots.items():
                    r.shots[frame].save(os.path.join(DOCS, "authoring-%s.png" % name))

    def test_the_small_map_lints_clean_and_plays_as_the_guide_says(self):
        files, inputs, checks, shots = map_example()
        self.assertEqual(sorted(files), ["map1%s.dat" % kind for kind in ("attribute", "base", "baseUV",
                                                                          "chara", "event")])
        self.assertTrue(inputs and checks, "the small map has no input or no checks")
        folder, _ = self.guide_map_folder()
        lint = subprocess.run([ZRN, "lint", folder], capture_output=True, timeout=120)
        self.assertEqual(lint.returncode, 0, lint.stdout + lint.stderr)
        self.assertRegex(lint.stdout, LINT_CLEAN)
        last = max(checks)
        r = run_play(folder, last + 1, inputs=inputs, states=tuple(checks), shots=tuple(shots),
                     unpacked=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        for frame, frame_checks in checks.items():
            for check in frame_checks:
                self.assertTrue(eval(check, {"s": r.states[frame]}), "frame %d: %s\n%s"
                                % (frame, check, r.states[frame]["field"]))
        for frame, name in shots.items():
            r.shots[frame].save(os.path.join(DOCS, "authoring-%s.png" % name))

    def guide_map_folder(self):
        files, inputs, _, _ = map_example()
        folder = scratch_dir("tavelle-map-")
        shutil.copytree(self.base, folder, dirs_exist_ok=True)
        for name, numbers in files.items():
            with open(os.path.join(folder, "Data", name), "wb") as f:
                f.write("".join(l + "\r\n" for l in numbers).encode("ascii"))
        return folder, inputs

    def test_wanderers_stay_in_their_pens(self):
        guide, guide_inputs = self.guide_map_folder()
        # Each game: its folder, the input that brings the lead through an exit (which
        # puts the people on the map), the pens and the map's size in world units.
        games = [("the guide's map", guide, guide_inputs, {1: (22, 2, 24, 4)}, (28, 16)),
                 ("the starter game", self.base, "5 clickat 30.5 15\n", {1: (24, 4, 26, 6)}, (32, 32))]
        frames = tuple(range(200, PEN_FRAMES, 20))

        def play(game):
            name, folder, inputs, pens, size = game
            return run_play(folder, PEN_FRAMES, inputs=inputs, states=frames, unpacked=True,
                            draw="shots")

        with concurrent.futures.ThreadPoolExecutor(2) as pool:
            runs = list(pool.map(play, games))
        for (name, folder, inputs, pens, size), r in zip(games, runs):
            with self.subTest(game=name):
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertEqual(r.messages(), [])
                self.assertEqual(sorted(r.states), list(frames))
                active = [c["number"] for c in r.states[frames[0]]["field"]["characters"] if c["active"]]
                self.assertEqual(active, sorted(pens), "the exit did not bring the people")
                self.assertEqual(walkers_astray(r.states, pens, size), [])

    def test_zrn_map_draws_the_guides_map(self):
        folder, _ = self.guide_map_folder()
        picture = os.path.join(DOCS, "authoring-map-above.png")
        drawn = subprocess.run([ZRN, "map", folder, "1", picture], capture_output=True, timeout=120)
        self.assertEqual(drawn.returncode, 0, drawn.stderr)
        self.assertEqual(drawn.stdout, b"", "the guide's map has lint warnings")
        if os.environ.get("TAVELLE_WRITE_GOLDEN"):
            shutil.copy(picture, GOLDEN_MAP)
        actual = Image.open(picture).convert("RGB")
        golden = Image.open(GOLDEN_MAP).convert("RGB")
        self.assertEqual(actual.size, golden.size)
        differing = sum(1 for a, b in zip(actual.getdata(), golden.getdata()) if not pixel_close(a, b, 4))
        self.assertLessEqual(differing, actual.size[0] * actual.size[1] // 1000)

    def test_the_starter_game_as_the_guide_shows_it(self):
        r = run_play(self.base, 60, inputs="5 click %d %d\n30 click 1000 740\n" % MARKER,
                     shots=(59,), states=(59,), unpacked=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.states[59]["scenario"]["current"], 2)
        r.shots[59].save(os.path.join(DOCS, "authoring-starter.png"))


if __name__ == "__main__":
    unittest.main()
