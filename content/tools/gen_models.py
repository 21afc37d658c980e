#!/usr/bin/env python3
"""Writes the three model texts: ./X/cursor.3dd (the spinning gem over the
pointed ground), ./X/space.3dd (the closed box of fog over the map) and
./X/question.3dd (the question mark over event spots).

Every triangle is wound clockwise as seen from outside, the front-face order of
the renderer; the fog passes tell the near and far surfaces of the box apart by
it. Faces do not share vertices, so recomputed normals stay flat per facet.

usage: gen_models.py OUT_DIR
"""
import math
import os
import sys


def Sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def Cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def Dot(a, b):
    return sum(a[i] * b[i] for i in range(3))


class Mesh:
    def __init__(self):
        self.vertices = []
        self.faces = []

    def Triangle(self, a, b, c, outward, uvs=((0, 0), (1, 0), (0, 1))):
        """Adds a triangle, turned so that it is clockwise seen from the `outward` side."""
        if Dot(Cross(Sub(b, a), Sub(c, a)), outward) < 0:
            b, c = c, b
            uvs = (uvs[0], uvs[2], uvs[1])
        base = len(self.vertices)
        for point, uv in zip((a, b, c), uvs):
            self.vertices.append((point, uv))
        self.faces.append((base, base + 1, base + 2))

    def Quad(self, a, b, c, d, outward, uv=(0.5, 0.5)):
        self.Triangle(a, b, c, outward, (uv, uv, uv))
        self.Triangle(a, c, d, outward, (uv, uv, uv))

    def Text(self, texture):
        def Number(v):
            text = ("%.4f" % v).rstrip("0").rstrip(".")
            return "0" if text in ("", "-0") else text
        lines = ["1", str(len(self.vertices)), str(len(self.faces)), texture]
        for (x, y, z), (u, v) in self.vertices:
            lines.append(" ".join(Number(n) for n in (x, y, z, u, v)))
        for a, b, c in self.faces:
            lines.append("%d %d %d" % (a, b, c))
        return "".join(line + "\r\n" for line in lines)


def Cursor():
    """A gem: eight facets above the girdle, eight below; drawn at twice this size."""
    mesh = Mesh()
    top, girdle, tip, radius = [0, 0.62, 0], 0.42, [0, 0.18, 0], 0.16
    ring = [[radius * math.cos(k * math.pi / 4), girdle, radius * math.sin(k * math.pi / 4)] for k in range(8)]
    for k in range(8):
        a, b = ring[k], ring[(k + 1) % 8]
        middle = [(a[0] + b[0]) / 2, 0, (a[2] + b[2]) / 2]
        mesh.Triangle(top, a, b, [middle[0], 0.5, middle[2]], ((0.5, 0.1), (0.2, 0.5), (0.8, 0.5)))
        mesh.Triangle(tip, a, b, [middle[0], -0.5, middle[2]], ((0.5, 0.9), (0.2, 0.6), (0.8, 0.6)))
    return mesh


def FogBox():
    """The fog over the whole map and a border round it; scaled by (24, 64, 24) when loaded."""
    mesh = Mesh()
    x0, x1 = -2.0 / 24, 34.0 / 24
    y0, y1 = -0.5 / 64, 1.6 / 64
    z0, z1 = -2.0 / 24, 30.0 / 24
    corners = {(i, j, k): [(x0, x1)[i], (y0, y1)[j], (z0, z1)[k]] for i in (0, 1) for j in (0, 1) for k in (0, 1)}
    for axis in range(3):
        for side in (0, 1):
            outward = [0, 0, 0]
            outward[axis] = 1 if side else -1
            quad = []
            for a, b in ((0, 0), (1, 0), (1, 1), (0, 1)):
                key = [a, b]
                key.insert(axis, side)
                quad.append(corners[tuple(key)])
            mesh.Quad(*quad, outward)
    return mesh


def QuestionMark():
    """A thick question mark standing on the ground, drawn at twice this size."""
    mesh = Mesh()
    width, depth = 0.065, 0.06
    centre_line = []
    for k in range(15):
        angle = math.radians(160 - k * 15)
        centre_line.append((0.16 * math.cos(angle), 0.96 + 0.16 * math.sin(angle)))
    centre_line += [(0.0, 0.74), (0.0, 0.64)]
    for i in range(len(centre_line) - 1):
        (ax, ay), (bx, by) = centre_line[i], centre_line[i + 1]
        length = math.hypot(bx - ax, by - ay)
        nx, ny = -(by - ay) / length * width, (bx - ax) / length * width
        v = i / (len(centre_line) - 1)
        outline = [(ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny)]
        Prism(mesh, outline, depth, (0.5, v * 0.66))
    dot = [(-0.06, 0.46), (0.06, 0.46), (0.06, 0.56), (-0.06, 0.56)]
    Prism(mesh, dot, depth, (0.5, 0.9))
    return mesh


def Prism(mesh, outline, depth, uv):
    """Extrudes a convex outline in the x-y plane to a closed block of the given half depth."""
    cx = sum(p[0] for p in outline) / len(outline)
    cy = sum(p[1] for p in outline) / len(outline)
    front = [[x, y, -depth] for x, y in outline]
    back = [[x, y, depth] for x, y in outline]
    mesh.Quad(*front, [0, 0, -1], uv)
    mesh.Quad(*back, [0, 0, 1], uv)
    for i in range(len(outline)):
        j = (i + 1) % len(outline)
        mid = [(outline[i][0] + outline[j][0]) / 2 - cx, (outline[i][1] + outline[j][1]) / 2 - cy, 0]
        mesh.Quad(front[i], front[j], back[j], back[i], mid, uv)


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    models = {"cursor.3dd": (Cursor(), "./X/arrow.bmp"), "space.3dd": (FogBox(), "./X/mist.bmp"),
              "question.3dd": (QuestionMark(), "./X/question.bmp")}
    for name, (mesh, texture) in models.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(mesh.Text(texture).encode("ascii"))


if __name__ == "__main__":
    main()
