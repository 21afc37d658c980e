#!/usr/bin/env python3
"""Builds the five map data files of each map from the readable map sources.

A source (content/maps/mapN.txt) draws the map cell by cell with the legend of
tiles.py and lists the camera, the exits, the characters and the markers. From
it this script derives the corner heights, the chip numbers, the attribute grid
with its walls, and checks what the game will do with the data: the lead's first
step from the map origin to its start point, and every arrival through an exit,
must cross no wall and land on no exit, or the lead would be thrown off its path.
What the attribute values do, where the lead starts and where each step ends are
asked of the game's own code through "zrn steps".

usage: build_maps.py ZRN SOURCE_DIR OUT_DIR
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile

from tiles import EXIT_LETTERS, LEGEND, VARIANTS, ChipNumber

MAP_COUNT = 3
# Attribute values asked about: the game's walls and exits are among them.
ATTRIBUTE_VALUES = 100
# How far a wanderer's single step can reach on each axis, in attribute cells: its
# targets lie less than 2 units from where its walk began.
CORNER_REACH = 2
# The sides of an attribute cell, as (name, row step, column step) to the neighbour
# there; "down" is the side towards lower z.
SIDES = (("down", -1, 0), ("right", 0, 1), ("up", 1, 0), ("left", 0, -1))
CORNER_LIFT = {
    "tree": (1.5, 1.3), "rock": (2.2, 1.6), "roof": (2.4, 0.0), "spire": (7.5, 0.0),
    "pillar": (3.4, 0.4), "rubble": (0.5, 0.3), "water": (-0.4, 0.0),
}


class MapSource:
    def __init__(self):
        self.camera = None
        self.exits = {}
        self.corridors = []
        self.rows = []
        self.charas = []
        self.events = []


def Fail(message):
    sys.exit("build_maps: " + message)


class Game:
    """The game's wall and exit scan, asked through zrn steps: the lead's first step
    (start_from -> start_to), the exits (value -> destination map, arrival x, z), the
    wall values (walls) and, for each set of sides that a blocked cell faces, the wall
    value that keeps a walker out on those sides (wall_values)."""

    def __init__(self, zrn):
        self.zrn = zrn
        with tempfile.TemporaryDirectory() as empty:
            answers = self.Ask(empty, ["start"] + ["attribute %d" % v for v in range(ATTRIBUTE_VALUES)])
        numbers = [float(w) for w in answers[0].split()]
        self.start_from, self.start_to = tuple(numbers[:2]), tuple(numbers[2:])
        self.arrivals, self.walls, self.wall_values = {}, set(), {}
        for value, answer in enumerate(answers[1:]):
            words = answer.split()
            if words[0] == "exit":
                self.arrivals[value] = (int(words[1]), float(words[2]), float(words[3]))
            elif words[0] == "wall":
                self.walls.add(value)
                if words[1] != "-":
                    self.wall_values.setdefault(tuple(words[1].split("+")), value)

    def Ask(self, root, queries):
        result = subprocess.run([self.zrn, "steps", root], input="".join(q + "\n" for q in queries),
                                capture_output=True, text=True)
        answers = result.stdout.split("\n")[:-1]
        if result.returncode != 0 or len(answers) != len(queries):
            Fail("zrn steps failed: " + result.stderr.strip())
        return answers

    def Steps(self, root, steps):
        """Where each step (map, (from x, z), (to x, z)) ends on the maps below root, and
        whether it began a map change."""
        answers = self.Ask(root, ["step %d %r %r %r %r" % (m, f[0], f[1], t[0], t[1]) for m, f, t in steps])
        results = []
        for answer in answers:
            x, z, fired = answer.split()
            results.append(((float(x), float(z)), fired == "1"))
        return results


def ReadSource(path):
    source = MapSource()
    in_grid = False
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith(";"):
                continue
            words = line.split()
            where = "%s:%d" % (os.path.basename(path), number)
            if in_grid and words[0] not in ("chara", "event"):
                source.rows.append(line.strip())
                continue
            in_grid = False
            if words[0] == "camera":
                source.camera = [float(w) for w in words[1:7]]
            elif words[0] == "exit":
                source.exits[words[1]] = int(words[2])
            elif words[0] == "corridor":
                source.corridors.append([float(w) for w in words[1:7]] + [int(words[7])])
            elif words[0] == "grid":
                in_grid = True
            elif words[0] == "chara":
                source.charas.append((int(words[1]), float(words[2]), float(words[3]), int(words[4])))
            elif words[0] == "event":
                source.events.append((int(words[1]), float(words[2]), float(words[3]), int(words[4])))
            else:
                Fail("%s: unknown line %r" % (where, words[0]))
    # The grid is drawn with the far (high z) row first.
    source.rows.reverse()
    widths = {len(r) for r in source.rows}
    if len(widths) != 1 or not 1 <= len(source.rows) <= 16 or not 1 <= widths.pop() <= 16:
        Fail("%s: the grid must be 1-16 rows of 1-16 equal columns" % path)
    for row in source.rows:
        for letter in row:
            if letter not in LEGEND:
                Fail("%s: unknown legend letter %r" % (path, letter))
    return source


def Noise(map_number, r, c):
    value = (map_number * 73856093 ^ r * 19349663 ^ c * 83492791) & 0xFFFFFFFF
    value = (value * 2654435761) & 0xFFFFFFFF
    return (value >> 8) / float(1 << 24)


def CornerHeights(number, source):
    height, width = len(source.rows), len(source.rows[0])
    heights = []
    for r in range(height + 1):
        row = []
        for c in range(width + 1):
            lifts = set()
            for rr in (r - 1, r):
                for cc in (c - 1, c):
                    if 0 <= rr < height and 0 <= cc < width:
                        lifts.add(LEGEND[source.rows[rr][cc]][2])
            value = 0.0
            if len(lifts) == 1 and None not in lifts:
                base, spread = CORNER_LIFT[lifts.pop()]
                value = base + spread * Noise(number, r, c)
            row.append(round(value, 2))
        heights.append(row)
    return heights


def ChipGrid(number, source):
    chips = []
    for r, row in enumerate(source.rows):
        line = []
        for c, letter in enumerate(row):
            tile = LEGEND[letter][0]
            choices = VARIANTS.get(tile, [tile])
            line.append(ChipNumber(choices[int(Noise(number + 7, r, c) * len(choices))]))
        chips.append(line)
    return chips


def SegmentDistance(px, pz, x0, z0, x1, z1):
    dx, dz = x1 - x0, z1 - z0
    t = max(0.0, min(1.0, ((px - x0) * dx + (pz - z0) * dz) / (dx * dx + dz * dz)))
    return math.hypot(px - (x0 + t * dx), pz - (z0 + t * dz))


def AttributeGrid(game, path, source):
    """Returns the attribute values, row-major, 2 attribute cells per map cell."""
    height, width = len(source.rows) * 2, len(source.rows[0]) * 2
    free = [[LEGEND[source.rows[r // 2][c // 2]][1] for c in range(width)] for r in range(height)]
    exits = [[source.exits.get(source.rows[r // 2][c // 2], 0) for c in range(width)] for r in range(height)]
    for r in range(height):
        for c in range(width):
            letter = source.rows[r // 2][c // 2]
            if letter in EXIT_LETTERS and letter not in source.exits:
                Fail("%s: exit letter %r has no exit line" % (path, letter))
    for x0, z0, x1, z1, reach, exit_reach, border_exit in source.corridors:
        for r in range(height):
            for c in range(width):
                if SegmentDistance(c + 0.5, r + 0.5, x0, z0, x1, z1) <= reach:
                    free[r][c] = True
                    if math.hypot(c + 0.5 - x0, r + 0.5 - z0) <= exit_reach:
                        exits[r][c] = border_exit
    # Outside the map there is no cell to hold a wall that faces inwards, so the
    # border itself is walked on only where it is an exit.
    for r in range(height):
        for c in range(width):
            if (r in (0, height - 1) or c in (0, width - 1)) and not exits[r][c]:
                free[r][c] = False
    sides = [[{} for _ in range(width)] for _ in range(height)]  # side -> the region it faces
    labels = Regions(free)
    for r in range(height):
        for c in range(width):
            if free[r][c]:
                continue
            for name, rr, cc in SIDES:
                if 0 <= rr + r < height and 0 <= cc + c < width and free[rr + r][cc + c]:
                    sides[r][c][name] = labels[rr + r][cc + c]
    pens = {labels[int(z)][int(x)] for _, x, z, _ in source.charas if free[int(z)][int(x)]}
    CloseCorners(path, free, labels, pens, sides)
    values = [[0] * width for _ in range(height)]
    for r in range(height):
        for c in range(width):
            if free[r][c]:
                values[r][c] = exits[r][c]
                continue
            if not sides[r][c]:
                continue
            faced = set(sides[r][c].values())
            if len(faced) > 1 and faced & pens:
                Fail("%s: blocked attribute cell (%d, %d) walls a pen on one side and other ground on "
                     "another; a wall cell keeps a walker on one side only, so the pen needs a thicker "
                     "wall there" % (path, r, c))
            key = tuple(name for name, _, _ in SIDES if name in sides[r][c])
            value = game.wall_values.get(key)
            if value is None:
                Fail("%s: blocked attribute cell (%d, %d) is open on %s; a wall cell holds only one "
                     "side or two sides that meet" % (path, r, c, "+".join(key)))
            values[r][c] = value
    return values


def Regions(free):
    """Numbers the connected pieces of free ground, 4-neighbours apart."""
    height, width = len(free), len(free[0])
    labels = [[None] * width for _ in range(height)]
    count = 0
    for r in range(height):
        for c in range(width):
            if not free[r][c] or labels[r][c] is not None:
                continue
            labels[r][c], todo = count, [(r, c)]
            while todo:
                rr, cc = todo.pop()
                for _, dr, dc in SIDES:
                    nr, nc = rr + dr, cc + dc
                    if 0 <= nr < height and 0 <= nc < width and free[nr][nc] and labels[nr][nc] is None:
                        labels[nr][nc] = count
                        todo.append((nr, nc))
            count += 1
    return labels


def CloseCorners(path, free, labels, pens, sides):
    """A wanderer's step can be long (after a scene, or on a map's first frame it goes
    straight to a target up to CORNER_REACH away on each axis) and the scan corrects only
    the coordinate of the wall it crosses. At an outer corner of a pen such a step can
    pass beside the corner: it crosses one wall, is held on that axis, and ends beyond
    the other wall's line, outside the pen. So each wall line of a pen runs on past the
    corner for CORNER_REACH cells, into the blocked cells there, and every step that
    leaves past a corner crosses both lines."""
    height, width = len(free), len(free[0])
    for r in range(height):
        for c in range(width):
            if not free[r][c] or labels[r][c] not in pens:
                continue
            pen = labels[r][c]
            for dr in (-1, 1):
                for dc in (-1, 1):
                    if not all(0 <= r + a < height and 0 <= c + b < width and not free[r + a][c + b]
                               for a, b in ((dr, 0), (0, dc))):
                        continue
                    if 0 <= r + dr < height and 0 <= c + dc < width and free[r + dr][c + dc]:
                        Fail("%s: the pen round attribute cell (%d, %d) touches other ground at its "
                             "corner (%d, %d)" % (path, r, c, r + dr, c + dc))
                    # The wall between this cell and its neighbour across dc runs on along dr,
                    # and the wall across dr runs on along dc.
                    across_c = "left" if dc > 0 else "right"
                    across_r = "down" if dr > 0 else "up"
                    for k in range(1, CORNER_REACH + 1):
                        for rr, cc, name in ((r + dr * k, c + dc, across_c), (r + dr, c + dc * k, across_r)):
                            if not (0 <= rr < height and 0 <= cc < width):
                                continue
                            if free[rr][cc]:
                                Fail("%s: the pen round attribute cell (%d, %d) has ground at (%d, %d), "
                                     "beside its corner" % (path, r, c, rr, cc))
                            sides[rr][cc].setdefault(name, pen)


def EntryPoints(game, values, code):
    """Points where a walker stands in the frame it has just entered an exit of this code:
    the lead covers at most a third of a unit per frame even at 30 frames a second."""
    points = []
    height, width = len(values), len(values[0])
    for r in range(height):
        for c in range(width):
            if values[r][c] != code:
                continue
            for dr, dc in ((-1, 0), (1, 0), (0, -1), (0, 1)):
                rr, cc = r + dr, c + dc
                if not (0 <= rr < height and 0 <= cc < width) or values[rr][cc] in game.walls or values[rr][cc] == code:
                    continue
                for along in (0.02, 0.25, 0.5, 0.75, 0.98):
                    for depth in (0.02, 0.15, 0.35):
                        if dr:
                            z = r + (depth if dr < 0 else 1 - depth)
                            points.append((c + along, z))
                        else:
                            x = c + (depth if dc < 0 else 1 - depth)
                            points.append((x, r + along))
    return points


def Region(game, values, start):
    """The walkable attribute cells a walker starting at `start` can reach step by step."""
    height, width = len(values), len(values[0])
    seen, todo = {start}, [start]
    while todo:
        r, c = todo.pop()
        for rr, cc in ((r - 1, c), (r + 1, c), (r, c - 1), (r, c + 1)):
            if 0 <= rr < height and 0 <= cc < width and (rr, cc) not in seen and values[rr][cc] not in game.walls:
                seen.add((rr, cc))
                todo.append((rr, cc))
    return seen


def CheckPen(game, number, values, kind, x, z, walkable, steps):
    """A wanderer must not reach an exit, and the lead's long first step after a talk
    (from anywhere a talk can start, towards the wanderer) must not end inside its pen:
    the wall scan applies the correction of the cell it meets last. Adds the steps to
    check to steps."""
    pen = Region(game, values, (int(z), int(x)))
    if any(values[r][c] in game.arrivals for r, c in pen):
        Fail("map %d: character %d can wander into an exit" % (number, kind))
    lows = (min(c for _, c in pen), min(r for r, _ in pen))
    highs = (max(c for _, c in pen) + 1, max(r for r, _ in pen) + 1)

    def Check(landed, fired, lead):
        tx, tz = landed
        if (int(tz), int(tx)) in pen and lows[0] < tx < highs[0] and lows[1] < tz < highs[1]:
            Fail("map %d: a talk from (%.1f, %.1f) carries the lead into the pen of character %d"
                 % (number, lead[0], lead[1], kind))

    for r, row in enumerate(values):
        for c, value in enumerate(row):
            if (r, c) not in walkable or (r, c) in pen:
                continue
            # The talk needs the lead's box within 6 of the wanderer's, whose centre is 0.5 to its right.
            if c + 1 < lows[0] + 0.5 - 6 or c > highs[0] + 0.5 + 6 or r + 1 < lows[1] - 6 or r > highs[1] + 6:
                continue
            # Off-centre samples: a line through a wall's very end point crosses nothing.
            for lead in ((c + 0.13, r + 0.11), (c + 0.87, r + 0.17), (c + 0.19, r + 0.89), (c + 0.83, r + 0.93)):
                for target in ((pr + 0.41, pc + 0.57) for pr, pc in pen):
                    if abs(lead[0] - (target[1] + 0.5)) > 6 or abs(lead[1] - target[0]) > 6:
                        continue
                    steps.append(((number, lead, (target[1], target[0])),
                                  lambda landed, fired, lead=lead: Check(landed, fired, lead)))


def Validate(game, root, sources, attributes):
    """Every step the maps must allow, put through the game's scan: the lead's first
    step, then all the others in one batch."""
    [(landed, fired)] = game.Steps(root, [(1, game.start_from, game.start_to)])
    if landed != game.start_to or fired:
        Fail("map 1: the lead's first step from %s to %s ends at %s%s"
             % (game.start_from, game.start_to, landed, ", on an exit" if fired else ""))
    steps = []  # ((map, from, to), check(landed, fired))
    for number in range(1, MAP_COUNT + 1):
        # Where the lead can walk: from its start on map 1, from the arrivals elsewhere.
        starts = ([game.start_to] if number == 1 else []) + \
            [(ax, az) for m, ax, az in game.arrivals.values() if m == number]
        walkable = set()
        for sx, sz in starts:
            walkable |= Region(game, attributes[number], (int(sz), int(sx)))
        codes = {v for row in attributes[number] for v in row if v in game.arrivals}
        for code in sorted(codes):
            destination, ax, az = game.arrivals[code]
            points = EntryPoints(game, attributes[number], code)
            if not points:
                Fail("map %d: exit %d cannot be entered" % (number, code))

            def ArrivalCheck(landed, fired, number=number, code=code, destination=destination, ax=ax, az=az,
                             point=None):
                if landed != (ax, az) or fired:
                    Fail("map %d: exit %d entered at (%.2f, %.2f) lands on map %d at %s%s"
                         % (number, code, point[0], point[1], destination, landed, ", on an exit" if fired else ""))
            for point in points:
                steps.append(((destination, point, (ax, az)),
                              lambda landed, fired, check=ArrivalCheck, point=point: check(landed, fired, point=point)))
        for kind, x, z, flag in sources[number].charas:
            if attributes[number][int(z)][int(x)] != 0:
                Fail("map %d: character %d stands on attribute %d" % (number, kind, attributes[number][int(z)][int(x)]))
            CheckPen(game, number, attributes[number], kind, x, z, walkable, steps)
    results = game.Steps(root, [step for step, _ in steps])
    for (_, check), (landed, fired) in zip(steps, results):
        check(landed, fired)


def Number(value):
    text = ("%.3f" % value).rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def WriteLines(path, lines):
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("ascii"))


def WriteMap(out_dir, number, source, attributes):
    height, width = len(source.rows), len(source.rows[0])
    prefix = os.path.join(out_dir, "map%d" % number)
    eye, target = source.camera[:3], source.camera[3:]
    base = [" ".join(Number(v) for v in eye), " ".join(Number(v) for v in target), "0",
            "%d %d 2" % (width, height)]
    base += [" ".join(Number(v) for v in row) for row in CornerHeights(number, source)]
    WriteLines(prefix + "base.dat", base)
    WriteLines(prefix + "baseUV.dat", ["0"] + [" ".join(str(v) for v in row) for row in ChipGrid(number, source)])
    WriteLines(prefix + "attribute.dat", ["0"] + [" ".join(str(v) for v in row) for row in attributes])
    chara = ["0"] + ["1 %s 0 %s %d %d 0" % (Number(x), Number(z), kind, flag) for kind, x, z, flag in source.charas]
    WriteLines(prefix + "chara.dat", chara + ["0"])
    events = [str(len(source.events))]
    events += ["1 %d %s 0 %s 1 0 %d" % (flag, Number(x), Number(z), slot) for flag, x, z, slot in source.events]
    WriteLines(prefix + "event.dat", events)


def main():
    if len(sys.argv) != 4:
        Fail("usage: build_maps.py ZRN SOURCE_DIR OUT_DIR")
    zrn, source_dir, out_dir = sys.argv[1:]
    game = Game(zrn)
    sources, attributes = {}, {}
    for number in range(1, MAP_COUNT + 1):
        path = os.path.join(source_dir, "map%d.txt" % number)
        sources[number] = ReadSource(path)
        attributes[number] = AttributeGrid(game, path, sources[number])
    # The maps are written to a folder of their own and checked there by the game's code
    # before they take their place in OUT_DIR.
    with tempfile.TemporaryDirectory() as root:
        data = os.path.join(root, "Data")
        os.makedirs(data)
        for number in range(1, MAP_COUNT + 1):
            WriteMap(data, number, sources[number], attributes[number])
        Validate(game, root, sources, attributes)
        os.makedirs(out_dir, exist_ok=True)
        for name in sorted(os.listdir(data)):
            shutil.copyfile(os.path.join(data, name), os.path.join(out_dir, name))


if __name__ == "__main__":
    main()
