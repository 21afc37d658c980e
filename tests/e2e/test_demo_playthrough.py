#!/usr/bin/env python3
"""Plays the demo from the first frame to its ending with one tavelle-play input
script, and checks the states along the way: every map reached, the story flags
each scene sets, the ending picture shown and the music stopped, no message box.

The plan is worked out here from the demo's own data: clicks on ground points are
aimed by the driver through the game's own camera ('K clickat X Z'), and the frames
a scene needs are bounded by the length of its script. Villagers wander inside small pens, so a talk
is a sweep of clicks whose distances from the map origin cross the pen's: one of
them matches the wanderer wherever it stands. Between scenes the pointer stays on a
spot where a click is harmless in the field and advances the text in a scene.

It also leaves screenshots of every map and some scenes in BUILD/docs. Only the
frames shot are rasterised (--draw shots): every frame still makes all its draw
calls, and each one is drawn whole from its own clear, so the shots are the frames a
full run draws.
"""
import math
import os
import re
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tavelle_e2e import GAME_DIR, run_play  # noqa: E402

BUILD = os.environ["TAVELLE_BUILD_DIR"]
SOURCE = os.environ["TAVELLE_SOURCE_DIR"]
STAGE = os.path.join(BUILD, "content", "stage")
SCRIPTS = os.path.join(SOURCE, "content", "scenario")
DOCS = os.path.join(BUILD, "docs")

SPAM = 6            # frames between clicks that advance a scene
SWEEP = 4           # frames between the clicks of a talk sweep
FADE = 252          # frames of a map change


def Tokens(path):
    with open(path, "rb") as f:
        return [t for t in re.split(rb"[ =|\],\nEOF]+", f.read()) if t]


def ScriptCost(name, start=None, end=None):
    """An upper bound of the frames a stretch of a script takes: one per byte, plus a
    wait for a click at every [l]."""
    with open(os.path.join(SCRIPTS, name), encoding="utf-8") as f:
        text = f.read()
    begin = text.index("\n*%s\n" % start) if start else 0
    finish = text.index("\n*%s\n" % end) if end else len(text)
    part = text[begin:finish]
    return len(part.encode("cp932")) + part.count("[l]") * (SPAM + 2) + 30


def Markers(number):
    tokens = Tokens(os.path.join(STAGE, "Data", "map%devent.dat" % number))
    return [(float(tokens[1 + 8 * k + 2]), float(tokens[1 + 8 * k + 4])) for k in range(int(tokens[0]))]


class Plan:
    def __init__(self):
        self.frame = 30
        self.lines = []
        self.map = 1
        self.lead = (25.0, 14.0)
        self.checks = []  # (frame, description, predicate over the state)
        self.shots = {}   # frame -> docs name
        self.spent = set()  # markers of this map already triggered; a map change brings them back

    def Click(self, point):
        """A click where the field picks the ground point."""
        self.lines.append("%d clickat %r %r" % (self.frame, point[0], point[1]))

    def Check(self, description, predicate, frame=None):
        self.checks.append((self.frame if frame is None else frame, description, predicate))

    def Shot(self, name, frame=None):
        self.shots[self.frame if frame is None else frame] = name

    def SafeClick(self, point, allowed_marker=None):
        for marker in Markers(self.map):
            if marker != allowed_marker and marker not in self.spent:
                assert max(abs(marker[0] - point[0]), abs(marker[1] - point[1])) > 2.2, \
                    "a click at %s would start the marker at %s" % (point, marker)
        self.Click(point)

    def Walk(self, *points):
        for point in points:
            self.SafeClick(point)
            distance = math.hypot(point[0] - self.lead[0], point[1] - self.lead[1])
            self.frame += int(distance * 6) + 14
            self.lead = point

    def Exit(self, point, destination, arrival):
        self.Walk(point)
        self.frame += FADE + 10
        self.map, self.lead = destination, arrival
        self.spent = set()
        self.Check("map %d reached at %s" % (destination, arrival),
                   lambda s: s["field"]["map"] == destination and not s["field"]["fade"]["active"]
                   and abs(s["field"]["lead"]["x"] - arrival[0]) < 0.05
                   and abs(s["field"]["lead"]["z"] - arrival[1]) < 0.05)

    def Advance(self, point, frames):
        """Clicks every SPAM frames: the text goes on in a scene and nothing happens in
        the field, where the click picks the point the lead ends on."""
        end = self.frame + frames
        while self.frame < end:
            self.Click(point)
            self.frame += SPAM

    def Choose(self, line):
        """Presses on the link of the given text line: the pointer box stands on the
        pointer with its bottom-left corner, so it touches this link and the next one
        but not the one above, and the earlier record wins."""
        pointer = (60, 50 + 45 * line + 80)
        self.lines.append("%d move %d %d" % (self.frame, pointer[0], pointer[1]))
        self.lines.append("%d down" % (self.frame + 1))
        self.lines.append("%d up" % (self.frame + 4))
        self.frame += 6

    def Marker(self, point, cost):
        self.SafeClick(point, allowed_marker=point)
        self.spent.add(point)
        self.frame += 2
        self.Advance(point, cost)
        self.lead = point

    def Talk(self, centre, stand, before, choice=None, after=0, shot=None):
        """Walks to `stand`, sweeps clicks across the distances from the origin that a
        wanderer in the 2 x 2 pen round `centre` can have, then reads the scene."""
        self.Walk(stand)
        corners = [(centre[0] + dx, centre[1] + dz) for dx in (-1.02, 1.02) for dz in (-1.02, 1.02)]
        radii = sorted(math.hypot(*c) for c in corners)
        low, high = radii[0] - 0.3, radii[-1] + 0.3
        here = math.hypot(*self.lead)
        assert here < low - 0.1 or here > high + 0.1, "the standing spot is inside the sweep"
        # Towards the pen corner on the far side of the range from here, and beyond it.
        corner = max(corners, key=lambda c: math.hypot(*c)) if here < low else min(corners, key=lambda c: math.hypot(*c))
        direction = (corner[0] - self.lead[0], corner[1] - self.lead[1])
        length = math.hypot(*direction)
        wanted = [low + 0.2 * k for k in range(int((high - low) / 0.2) + 2)]
        if here > high:
            wanted.reverse()
        sweep = []
        for step in range(1, 2000):
            t = step * 0.01
            point = (self.lead[0] + direction[0] * t, self.lead[1] + direction[1] * t)
            radius = math.hypot(*point)
            if wanted and (radius >= wanted[0]) == (here < low):
                sweep.append(point)
                wanted.pop(0)
            if not wanted or t * length > length + 4:
                break
        assert not wanted, "the sweep does not reach every distance of the pen"
        for point in sweep:
            self.SafeClick(point)
            self.frame += SWEEP
        stand = self.lead
        self.Advance(stand, before)
        if shot:
            self.Shot(shot, self.frame - 40)
        if choice is not None:
            self.Choose(choice)
            self.Advance(stand, after)
        self.frame += 20


def BuildPlan():
    plan = Plan()
    plan.Shot("demo-village", 25)
    # Map 1, nobody about yet: the square marker tells why.
    plan.Marker((22, 13), ScriptCost("square.txt", None, "again"))
    plan.Check("the arrival on the square was read", lambda s: s["vars"]["e"][2] == 1)
    plan.Walk((24, 15), (16.5, 14.5), (16.5, 21))
    plan.Exit((17, 23.2), 2, (16.0, 20.0))
    plan.Shot("demo-forest", plan.frame - 5)
    # Map 2: Daskel blows his horn, and the villagers come out.
    # His woodpile is reached through a gap in its fence, from the path above it.
    daskel, daskel_stand, daskel_gap = (25, 15), (25, 19), (24.8, 20.8)
    plan.Walk(daskel_gap)
    plan.Talk(daskel, daskel_stand, ScriptCost("daskel.txt", None, "song"))
    plan.Check("Daskel called the villagers out", lambda s: s["vars"]["e"][3] == 1 and s["frameNo"] == 251)
    plan.Walk(daskel_gap)
    plan.Walk((29, 21))
    plan.Exit((29, 19.2), 1, (24.0, 14.0))
    plan.Check("the villagers are out", lambda s: sorted(c["number"] for c in s["field"]["characters"]
                                                       if c["active"]) == [1, 2, 4])
    # Map 1 again: Pendel, Miroune and Obrik, in their gardens, tell the story; each
    # is talked to from the gap in the hedge beside the garden.
    plan.Talk((21, 5), (21.5, 9.8), ScriptCost("pendel.txt", None, "again"), shot="demo-pendel")
    plan.Check("Pendel told of the stolen heart", lambda s: s["vars"]["e"][5] == 1)
    plan.Walk((15, 17), (15, 19), (9, 21), (9, 23), (5, 23))
    plan.Talk((5, 17), (5, 21.5), ScriptCost("miroune.txt", None, "again"))
    plan.Check("Miroune was heard", lambda s: s["vars"]["e"][4] == 1)
    plan.Walk((5, 23), (9, 23), (9, 21), (15, 19), (27.5, 11))
    plan.Talk((27, 5), (27.5, 9.8), ScriptCost("obrik.txt", None, "yes"), choice=2,
              after=ScriptCost("obrik.txt", "yes", "no"), shot="demo-obrik-choice")
    plan.Check("Obrik lent the lantern and the story is known",
               lambda s: s["vars"]["e"][6] == 1 and s["vars"]["e"][7] == 1)
    plan.Walk((17.5, 13), (16.5, 21))
    plan.Exit((17, 23.2), 2, (16.0, 20.0))
    # Map 2: Sorvane's song, then Daskel shows the way.
    plan.Walk((9, 21))
    plan.Talk((7, 15), (7, 19.5), ScriptCost("sorvane.txt", None, "listen"), choice=4,
              after=ScriptCost("sorvane.txt", "listen", "later"))
    plan.Check("Sorvane taught the song", lambda s: s["vars"]["e"][8] == 1)
    plan.Walk((9, 21), (17, 19), daskel_gap)
    plan.Talk(daskel, daskel_stand, ScriptCost("daskel.txt", "guide", "after"), shot="demo-forest-scene")
    plan.Check("Daskel showed the way", lambda s: s["vars"]["e"][9] == 1)
    plan.Walk(daskel_gap, (17, 19), (17, 9), (17, 5), (27, 5))
    plan.Exit((27, 3), 3, (16.0, 20.0))
    plan.Check("Korvath waits in the ruin", lambda s: any(c["active"] and c["number"] == 6
                                                          for c in s["field"]["characters"]))
    plan.Shot("demo-ruin", plan.frame - 5)
    # Map 3: the bell's name, then Korvath and the song.
    plan.Marker((24.5, 12.5), ScriptCost("bell.txt"))
    plan.Check("the bell's name was read", lambda s: s["vars"]["e"][10] == 1)
    plan.Walk((17, 11), (17, 9.5))
    ending_start = plan.frame
    ending = ScriptCost("korvath.txt", "song", "demand") + ScriptCost("common.txt")
    plan.Talk((17, 5), (17, 9.5), ScriptCost("korvath.txt", None, "song"), choice=1, after=ending,
              shot="demo-korvath-choice")
    # The last page stays, whatever is clicked, until F1 plays again from the start.
    plan.frame += 300
    plan.Check("the music stopped, the story flags are cleared and the last page stays",
               lambda s: s["music"]["stopped"] and s["frameNo"] == 231 and not any(s["vars"]["e"][2:12])
               and "おしまい" in s["scenario"]["text"] and "Ｆ１" in s["scenario"]["text"]
               and "Ｅｓｃ" in s["scenario"]["text"])
    plan.Shot("demo-last-page")
    plan.frame += 10
    for _ in range(10):
        plan.lines.append("%d click 512 400" % plan.frame)
        plan.frame += SPAM
    plan.frame += 300
    plan.Check("a click only shows the last page again",
               lambda s: s["frameNo"] == 231 and "おしまい" in s["scenario"]["text"])
    plan.frame += 10
    plan.lines.append("%d key F1" % plan.frame)
    plan.frame += 200
    plan.Check("F1 plays again from the start: the field is back on the first map",
               lambda s: s["frameNo"] == 251 and s["field"]["map"] == 1 and s["vars"]["e"][1] == 1
               and not any(s["vars"]["e"][2:12]))
    return plan, ending_start


class DemoPlaythrough(unittest.TestCase):
    def test_plays_from_start_to_ending(self):
        plan, ending_start = BuildPlan()
        ending_states = list(range(ending_start, plan.frame, 10))
        ending_shots = ending_states[len(ending_states) // 2::60]
        states = sorted({frame for frame, _, _ in plan.checks} | set(ending_states))
        result = run_play(GAME_DIR, plan.frame + 30, inputs="\n".join(plan.lines) + "\n",
                          shots=sorted(set(plan.shots) | set(ending_shots)), states=states,
                          draw="shots", timeout=900)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.messages(), [])
        os.makedirs(DOCS, exist_ok=True)
        for frame, name in plan.shots.items():
            if frame in result.shots:
                result.shots[frame].save(os.path.join(DOCS, name + ".png"))
        for frame, description, predicate in plan.checks:
            with self.subTest(description):
                self.assertTrue(frame in result.states, "no state written at frame %d" % frame)
                self.assertTrue(predicate(result.states[frame]), "%s (frame %d)" % (description, frame))
        shown = [f for f in ending_states if f in result.states
                 and any(layer["picture"] == 7 and layer["visible"] for layer in result.states[f]["scenario"]["layers"])]
        self.assertTrue(shown, "the ending picture was never shown")
        # Pages that only the song ending tells.
        song = ("その日の正午", "鐘まつり", "ペンデルは組合")
        self.assertTrue(any(line in result.states[f]["scenario"]["text"] for f in shown for line in song),
                        "the song ending was not told")
        for frame in ending_shots:
            if frame in shown and frame in result.shots:
                result.shots[frame].save(os.path.join(DOCS, "demo-ending.png"))
                break
        for frame, state in result.states.items():
            self.assertEqual(state["messages"], [], "message boxes by frame %d" % frame)


if __name__ == "__main__":
    unittest.main()
