#!/usr/bin/env python3
"""Builds the five map data files of each map from the readable map sources.

A source (content/maps/mapN.txt) draws the map cell by cell with the legend of
tiles.py and lists the camera, the exits, the characters and the markers. From
it this script derives the corner heights, the chip numbers, the attribute grid
with its walls, and checks what the game will do with the data: the lead's first
step from the map origin to its start point, and every arrival through an exit,
must cross no wall and land on no exit, or the lead would be thrown off its path.

usage: build_maps.py SOURCE_DIR OUT_DIR
"""
import math
import os
import sys

from tiles import EXIT_LETTERS, LEGEND, VARIANTS, ChipNumber

MAP_COUNT = 3
# exit attribute -> (destination map, arrival x, arrival z), as the game defines them
ARRIVALS = {50: (1, 24.0, 14.0), 51: (2, 16.0, 20.0), 52: (3, 16.0, 20.0), 53: (2, 16.0, 8.0)}
LEAD_START = (25.0, 14.0)
CORNER_LIFT = {
    "tree": (1.5, 1.3), "rock": (2.2, 1.6), "roof": (2.4, 0.0), "spire": (7.5, 0.0),
    "pillar": (3.4, 0.4), "rubble": (0.5, 0.3), "water": (-0.4, 0.0),
}
# Which sides of a blocked attribute cell face walkable ground -> the wall value
# whose correction puts a walker back on that ground.
WALL_VALUES = {("down",): 1, ("right",): 2, ("up",): 3, ("left",): 4,
               ("down", "right"): 5, ("right", "up"): 6, ("up", "left"): 7, ("down", "left"): 8}


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


def AttributeGrid(path, source):
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
    values = [[0] * width for _ in range(height)]
    for r in range(height):
        for c in range(width):
            if free[r][c]:
                values[r][c] = exits[r][c]
                continue
            open_sides = []
            for name, rr, cc in (("down", r - 1, c), ("right", r, c + 1), ("up", r + 1, c), ("left", r, c - 1)):
                if 0 <= rr < height and 0 <= cc < width and free[rr][cc]:
                    open_sides.append(name)
            if not open_sides:
                continue
            key = tuple(open_sides)
            value = WALL_VALUES.get(key)
            if value is None:
                Fail("%s: blocked attribute cell (%d, %d) is open on %s; a wall cell holds only one "
                     "side or two sides that meet" % (path, r, c, "+".join(key)))
            values[r][c] = value
    return values


def Cross(ax, az, bx, bz, px, pz):
    return (bx - ax) * (pz - az) - (bz - az) * (px - ax)


def SegmentsCross(p1, p2, q1, q2):
    d1 = Cross(*p1, *p2, *q1)
    d2 = Cross(*p1, *p2, *q2)
    d3 = Cross(*q1, *q2, *p1)
    d4 = Cross(*q1, *q2, *p2)
    return d1 * d2 < 0 and d3 * d4 < 0


def WallScan(values):
    """The walls and exits of an attribute grid in the order the game scans them: row by
    row, the wall segments of each cell (with the point a crossing walker is put back to)
    and the exit cells."""
    walls, exits = [], []
    for r, row in enumerate(values):
        for c, value in enumerate(row):
            walls += {
                1: [((c, r), (c + 1, r), (None, r - 0.01))],
                2: [((c + 1, r), (c + 1, r + 1), (c + 1.01, None))],
                3: [((c, r + 1), (c + 1, r + 1), (None, r + 1.01))],
                4: [((c, r), (c, r + 1), (c - 0.01, None))],
                5: [((c, r), (c + 1, r), (c + 1.01, r - 0.01)), ((c + 1, r), (c + 1, r + 1), (c + 1.01, r - 0.01))],
                6: [((c + 1, r), (c + 1, r + 1), (c + 1.01, r + 1.01)), ((c, r + 1), (c + 1, r + 1), (c + 1.01, r + 1.01))],
                7: [((c, r + 1), (c + 1, r + 1), (c - 0.01, r + 1.01)), ((c, r), (c, r + 1), (c - 0.01, r + 1.01))],
                8: [((c, r), (c, r + 1), (c - 0.01, r - 0.01)), ((c, r), (c + 1, r), (c - 0.01, r - 0.01))],
            }.get(value, [])
            if value in ARRIVALS:
                exits.append((r, c, value))
    return walls, exits


def Collide(scan, next_point, position):
    """The game's wall and exit scan for one step: the corrected next point and the exits that fire."""
    walls, exits = scan
    nx, nz = next_point
    for start, end, (fx, fz) in walls:
        if SegmentsCross(next_point, position, start, end):
            nx = fx if fx is not None else nx
            nz = fz if fz is not None else nz
    fired = [value for r, c, value in exits if c < next_point[0] < c + 1 and r < next_point[1] < r + 1]
    return (nx, nz), fired


def EntryPoints(values, code):
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
                if not (0 <= rr < height and 0 <= cc < width) or values[rr][cc] in range(1, 9) or values[rr][cc] == code:
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


def Region(values, start):
    """The walkable attribute cells a walker starting at `start` can reach step by step."""
    height, width = len(values), len(values[0])
    seen, todo = {start}, [start]
    while todo:
        r, c = todo.pop()
        for rr, cc in ((r - 1, c), (r + 1, c), (r, c - 1), (r, c + 1)):
            if 0 <= rr < height and 0 <= cc < width and (rr, cc) not in seen and values[rr][cc] not in range(1, 9):
                seen.add((rr, cc))
                todo.append((rr, cc))
    return seen


def CheckPen(number, values, scan, kind, x, z, walkable):
    """A wanderer must not reach an exit, and the lead's long first step after a talk
    (from anywhere a talk can start, towards the wanderer) must not end inside its pen:
    the wall scan applies the correction of the cell it meets last."""
    pen = Region(values, (int(z), int(x)))
    if any(values[r][c] in ARRIVALS for r, c in pen):
        Fail("map %d: character %d can wander into an exit" % (number, kind))
    lows = (min(c for _, c in pen), min(r for r, _ in pen))
    highs = (max(c for _, c in pen) + 1, max(r for r, _ in pen) + 1)
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
                    (tx, tz), _ = Collide(scan, (target[1], target[0]), lead)
                    if (int(tz), int(tx)) in pen and lows[0] < tx < highs[0] and lows[1] < tz < highs[1]:
                        Fail("map %d: a talk from (%.1f, %.1f) carries the lead into the pen of character %d"
                             % (number, lead[0], lead[1], kind))


def Validate(sources, attributes):
    scans = {number: WallScan(values) for number, values in attributes.items()}
    start_next, fired = Collide(scans[1], LEAD_START, (0.0, 0.0))
    if start_next != LEAD_START or fired:
        Fail("map 1: the lead's first step from (0, 0) to %s ends at %s, exits %s" % (LEAD_START, start_next, fired))
    for number in range(1, MAP_COUNT + 1):
        # Where the lead can walk: from its start on map 1, from the arrivals elsewhere.
        starts = ([LEAD_START] if number == 1 else []) + [(ax, az) for m, ax, az in ARRIVALS.values() if m == number]
        walkable = set()
        for sx, sz in starts:
            walkable |= Region(attributes[number], (int(sz), int(sx)))
        codes = {v for row in attributes[number] for v in row if v in ARRIVALS}
        for code in codes:
            destination, ax, az = ARRIVALS[code]
            points = EntryPoints(attributes[number], code)
            if not points:
                Fail("map %d: exit %d cannot be entered" % (number, code))
            for point in points:
                landed, fired = Collide(scans[destination], (ax, az), point)
                if landed != (ax, az) or fired:
                    Fail("map %d: exit %d entered at (%.2f, %.2f) lands on map %d at %s, exits %s"
                         % (number, code, point[0], point[1], destination, landed, fired))
        for kind, x, z, flag in sources[number].charas:
            if attributes[number][int(z)][int(x)] != 0:
                Fail("map %d: character %d stands on attribute %d" % (number, kind, attributes[number][int(z)][int(x)]))
            CheckPen(number, attributes[number], scans[number], kind, x, z, walkable)


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
    if len(sys.argv) != 3:
        Fail("usage: build_maps.py SOURCE_DIR OUT_DIR")
    source_dir, out_dir = sys.argv[1:]
    sources, attributes = {}, {}
    for number in range(1, MAP_COUNT + 1):
        path = os.path.join(source_dir, "map%d.txt" % number)
        sources[number] = ReadSource(path)
        attributes[number] = AttributeGrid(path, sources[number])
    Validate(sources, attributes)
    os.makedirs(out_dir, exist_ok=True)
    for number in range(1, MAP_COUNT + 1):
        WriteMap(out_dir, number, sources[number], attributes[number])


if __name__ == "__main__":
    main()
