#!/usr/bin/env python3
"""The demo's wanderers stay in their pens: the playthrough's opening brings the story
to where every character of the three maps is out (Daskel has shown the way to the
ruin), then a long monkey run clicks, drags, talks, minimises and walks through the
exits, and the state every few frames must show each character inside its pen.

The monkey never presses F1 here: a reload would put the story back to a start
where most wanderers are not out yet."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pen_check import CheckStates, RunPenCheck, Strays  # noqa: E402
from tavelle_e2e import GAME_DIR, require_game_dir, scratch_dir  # noqa: E402
from test_demo_playthrough import BuildPlan  # noqa: E402

# The open ground inside each pen's hedge, fence or altar, in world units: x0, z0, x1, z1.
PENS = {
    1: [(4, 16, 6, 18), (20, 4, 22, 6), (26, 4, 28, 6)],  # Miroune, Pendel, Obrik
    2: [(6, 14, 8, 16), (24, 14, 26, 16)],                # Sorvane, Daskel
    3: [(16, 4, 18, 6)],                                  # Korvath
}
MONKEY_FRAMES = 24000
SEED = 7


def Opening():
    """The playthrough's input up to the frame where Daskel has shown the way."""
    plan, _ = BuildPlan()
    cut = next(frame for frame, description, _ in plan.checks if description == "Daskel showed the way")
    return [line for line in plan.lines if int(line.split()[0]) < cut], cut


def State(number, characters):
    return {"frame": 0, "field": {"map": number, "characters": [
        {"entry": k + 1, "active": True, "number": k, "x": x, "z": z} for k, (x, z) in enumerate(characters)]}}


class PenCheckReadsStates(unittest.TestCase):
    """The checker itself, on hand-made states: a stray must not slip through."""

    def test_positions_inside_and_outside(self):
        cases = [
            ("inside", 1, (5.0, 17.0), False),
            ("held at a wall, just inside", 1, (5.99, 16.01), False),
            ("on the wall line", 1, (6.0, 17.0), True),
            ("past a corner", 1, (6.2, 18.3), True),
            ("in another map's pen", 2, (5.0, 17.0), True),
            ("on a map with no pen", 4, (5.0, 17.0), True),
        ]
        for name, number, point, stray in cases:
            with self.subTest(name):
                self.assertEqual(bool(Strays(State(number, [point]), PENS)), stray)

    def test_counts_every_active_character_per_map(self):
        states = [State(1, [(5, 17), (21, 5)]), State(2, [(7, 15)]), State(2, [(30, 30)])]
        states[1]["field"]["characters"].append({"entry": 2, "active": False, "number": 3, "x": 99, "z": 99})
        report = CheckStates(states, PENS)
        self.assertEqual(report["checked"], {1: 2, 2: 2})
        self.assertEqual([s["x"] for s in report["strays"]], [30])


class DemoPens(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_every_wanderer_stays_in_its_pen(self):
        lines, cut = Opening()
        path = os.path.join(scratch_dir("tavelle-pens-input-"), "opening.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        report = RunPenCheck(GAME_DIR, PENS, cut + MONKEY_FRAMES, SEED, every=10, input_path=path,
                             monkey_from=cut)
        self.assertEqual(report["returncode"], 0, report["stderr"])
        self.assertEqual(report["strays"], [], "characters outside their pens")
        # The run must have seen the wanderers of every map, many times over.
        for number in PENS:
            self.assertGreater(report["checked"].get(number, 0), 200, "map %d: %s" % (number, report["checked"]))


if __name__ == "__main__":
    unittest.main()
