#!/usr/bin/env python3
"""Paints the seven sprite sheets (./X/<name>.bmp).

A sheet is 256 x 256: tiles of 32 x 48 in a left block of three walk frames
(columns 0-2) and a right block of three (columns 3-5), four rows. The sprite
step of the field picks a tile from the walking direction relative to the
camera, r = heading - camera yaw (r = 0: walking towards the viewer):

    left block:  row 0 front, row 1 facing screen-right, row 2 facing screen-left, row 3 back
    right block: row 0 front-right, row 1 front-left, row 2 back-right, row 3 back-left

The billboard maps a tile's left edge to the sprite's right-hand side, so every
tile is stored mirrored to come out the right way round on screen.

usage: gen_sprites.py OUT_DIR
"""
import math
import os
import sys

import numpy as np

from characters import CHARACTERS, ORDER
from paint import OUTLINE, SKIN, BLUSH, Canvas, Fill, Grid, KeyOut, Reduce, SaveBmp, MAGENTA, Mix, Shade

TILE_W, TILE_H, SHEET = 32, 48, 256
SCALE = 4
# (block, row) -> facing in degrees: 0 towards the viewer, 90 facing screen-right.
FACINGS = {(0, 0): 0, (1, 0): 45, (0, 1): 90, (1, 1): 315,
           (0, 2): 270, (1, 2): 135, (0, 3): 180, (1, 3): 225}
MIRROR_TILES = True


def Wrap(angle):
    return (angle + 180.0) % 360.0 - 180.0


class Figure:
    """Paints one person in one facing and walk frame onto a canvas at SCALE."""

    def __init__(self, look, facing, frame):
        self.look = look
        self.phi = math.radians(facing)
        self.frame = frame
        self.canvas = Canvas(TILE_W * SCALE, TILE_H * SCALE)
        self.X, self.Y = Grid(TILE_W, TILE_H, SCALE)
        bounce = -0.6 if frame else 0.0
        tall = look.get("tall")
        self.cx = 16.0
        self.head_y = (12.0 if tall else 14.5) + bounce
        self.radius = 8.6 if tall else 9.0
        self.top = (21.0 if tall else 24.0) + bounce
        robe = look.get("robe") or look.get("skirt") or look.get("long_coat")
        self.bottom = 46.3 if look.get("robe") else (43.0 if robe else 38.5) + bounce
        self.shoulder = 7.0 if look.get("broad") else 5.4
        self.hem = 8.2 if look.get("robe") else (7.6 if look.get("skirt") else self.shoulder + 0.8)
        self.stride = [0, 1, -1][frame]

    def Lateral(self, offset, forward=0.0):
        """Screen x and depth (towards the viewer) of a body point `offset` to the side."""
        s, c = math.sin(self.phi), math.cos(self.phi)
        return offset * c + forward * s, -offset * s + forward * c

    def Capsule(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        t = np.clip(((self.X - x0) * dx + (self.Y - y0) * dy) / (dx * dx + dy * dy + 1e-6), 0, 1)
        d = np.hypot(self.X - (x0 + t * dx), self.Y - (y0 + t * dy))
        Fill(self.canvas, d <= width / 2, colour, 1.0 - 0.12 * (self.X - x0 > 0))

    def Ellipse(self, x, y, a, b, colour, shade=None):
        mask = ((self.X - x) / a) ** 2 + ((self.Y - y) / b) ** 2 <= 1.0
        Fill(self.canvas, mask, colour, shade)

    def Legs(self):
        if self.look.get("robe"):
            return
        legs = []
        for side in (-1, 1):
            step = self.stride * side
            x, depth = self.Lateral(side * (3.0 if self.look.get("broad") else 2.5), step * 2.0)
            legs.append((depth, side, step, x))
        for depth, side, step, x in sorted(legs):
            lift = 1.2 if step > 0 else 0.0
            foot = 46.3 - lift
            self.Capsule(self.cx + x, self.bottom - 3.0, self.cx + x, foot - 1.5, 3.6, self.look["legs"])
            toe, _ = self.Lateral(0.0, 1.0)
            self.Capsule(self.cx + x, foot - 1.0, self.cx + x + toe, foot - 1.0, 2.6, self.look["shoes"])

    def Arms(self, near):
        for side in (-1, 1):
            swing = -self.stride * side * 1.8
            x, depth = self.Lateral(side * (self.shoulder + 0.6), swing)
            if (depth > -0.3) != near:
                continue
            hand_x, _ = self.Lateral(side * (self.shoulder + 1.2), swing * 1.6)
            length = 12.0 if self.look.get("tall") else 10.0
            self.Capsule(self.cx + x, self.top + 2.0, self.cx + hand_x, self.top + length, 3.4, self.look["coat"])
            self.Ellipse(self.cx + hand_x, self.top + length + 1.0, 1.6, 1.6, self.look.get("skin", SKIN))

    def BackPanel(self, front_pass):
        """Long hair or a cape hanging down the back: behind the body seen from the front."""
        facing_front = math.cos(self.phi) > -0.2
        if facing_front != front_pass:
            return
        if self.look.get("hair_style") == "long":
            w = self.radius * 0.95
            mask = (np.abs(self.X - self.cx) <= w) & (self.Y >= self.head_y) & (self.Y <= self.top + 13.0)
            Fill(self.canvas, mask, self.look["hair"], 0.9 + 0.1 * np.cos(self.X * 2.1))
        if self.look.get("cape"):
            t = np.clip((self.Y - self.top) / (self.bottom + 1.0 - self.top), 0, 1)
            w = self.shoulder + 1.0 + (self.hem - self.shoulder + 0.8) * t
            mask = (np.abs(self.X - self.cx) <= w) & (self.Y >= self.top + 0.5) & (self.Y <= self.bottom + 1.0)
            Fill(self.canvas, mask, self.look["cape"], 0.85 + 0.15 * np.cos((self.X - self.cx) * 0.9))

    def Torso(self):
        look = self.look
        t = (self.Y - self.top) / (self.bottom - self.top)
        w = self.shoulder + (self.hem - self.shoulder) * np.clip(t, 0, 1)
        w = w - 1.6 * np.clip(1 - t / 0.18, 0, 1) ** 2
        inside = (t >= 0) & (t <= 1) & (np.abs(self.X - self.cx) <= w)
        nx = np.clip((self.X - self.cx) / np.maximum(w, 0.5), -1, 1)
        alpha = Wrap(np.degrees(np.arcsin(nx)) - math.degrees(self.phi))
        shade = 0.84 - 0.16 * nx
        Fill(self.canvas, inside, look["coat"], shade)
        if look.get("robe"):
            Fill(self.canvas, inside & (t > 0.92 + 0.04 * np.sin(self.X * 1.7 + self.frame * 2.0)), look["trim"], shade)
        front = np.abs(alpha) < 42
        if look.get("apron"):
            Fill(self.canvas, inside & front & (t > 0.2), look["apron"], shade)
        if "satchel" in look:
            strap = np.abs(t - (0.1 + 0.35 * (np.sin(np.radians(alpha)) + 1))) < 0.07
            Fill(self.canvas, inside & strap, look["satchel"], shade)
        collar = inside & (t < 0.14) & (np.abs(alpha) < 70)
        Fill(self.canvas, collar, look["trim"], shade)
        if not look.get("apron") and not look.get("robe"):
            buttons = inside & (np.abs(alpha) < 6) & (np.abs(((t * 5) % 1) - 0.5) < 0.18) & (t > 0.2) & (t < 0.85)
            Fill(self.canvas, buttons, look["trim"], shade)
        if look.get("hair_style") == "hood" and not look.get("robe"):
            belt = inside & (np.abs(t - 0.62) < 0.05)
            Fill(self.canvas, belt, Shade(look["coat"], 0.55), shade)
        if "satchel" in look:
            bag_x, depth = self.Lateral(self.shoulder + 0.4, 0.0)
            if depth > -0.5:
                self.Ellipse(self.cx + bag_x, self.top + 11.0, 2.6, 2.4, look["satchel"])

    def HairVolume(self):
        style = self.look.get("hair_style")
        if style in ("bob", "long", "bun"):
            self.Ellipse(self.cx, self.head_y + 0.6, self.radius * 1.1, self.radius * 1.05, self.look["hair"])
        if style == "hood":
            self.Ellipse(self.cx, self.head_y + 0.4, self.radius * 1.14, self.radius * 1.12, self.look["hood"])
            tip_x, _ = self.Lateral(0.0, -self.radius * 0.9)
            self.Ellipse(self.cx + tip_x, self.head_y - 3.0, 3.0, 4.0, self.look["hood"])

    def Bun(self, front_pass):
        if self.look.get("hair_style") != "bun" or (math.cos(self.phi) > 0) != front_pass:
            return
        x, _ = self.Lateral(0.0, -self.radius * 0.85)
        self.Ellipse(self.cx + x, self.head_y - self.radius * 0.55, self.radius * 0.42, self.radius * 0.42,
                     self.look["hair"])

    def Head(self):
        look = self.look
        r = self.radius
        nx = (self.X - self.cx) / r
        ny = (self.Y - self.head_y) / r
        inside = nx * nx + ny * ny <= 1.0
        nz = np.sqrt(np.clip(1 - nx * nx - ny * ny, 0, 1))
        alpha = Wrap(np.degrees(np.arctan2(nx, nz)) - math.degrees(self.phi))
        light = np.clip(0.86 - 0.14 * nx - 0.1 * ny + 0.08 * nz, 0.6, 1.05)
        skin = look.get("skin", SKIN)
        Fill(self.canvas, inside, skin, light)
        style = look.get("hair_style")
        side = np.abs(alpha)
        if style in ("bob", "long", "bun"):
            fringe = ny < -0.32 + 0.08 * np.cos(np.radians(alpha) * 7)
            length = 0.62 if style != "bun" else 0.3
            hair = fringe | ((side > 72) & (ny < length)) | (side > 150)
        elif style == "bald":
            hair = (side > 62) & (ny > -0.45) & (ny < 0.3)
        else:
            hair = (ny < -0.18) | ((side > 58) & (ny < 0.8))
        colour = look.get("hood", look["hair"])
        Fill(self.canvas, inside & hair, colour, light)
        if "hat" in look:
            Fill(self.canvas, inside & (ny < -0.36), look["hat"], light)
        face = inside & ~hair & (side < 90)
        for eye in (-1, 1):
            spot = ((alpha - eye * 30) / 12) ** 2 + ((ny - 0.12) / 0.2) ** 2 < 1
            Fill(self.canvas, face & spot, look["eyes"] if look.get("glow") else Mix(look["eyes"], OUTLINE, 0.55))
            if look.get("glasses"):
                ring = ((alpha - eye * 30) / 19) ** 2 + ((ny - 0.12) / 0.3) ** 2
                Fill(self.canvas, face & (ring > 0.72) & (ring < 1.15), (176, 130, 60))
            if not look.get("glow") and not look.get("beard"):
                cheek = ((alpha - eye * 50) / 11) ** 2 + ((ny - 0.42) / 0.1) ** 2 < 1
                Fill(self.canvas, face & cheek, BLUSH, light)
        if look.get("beard"):
            Fill(self.canvas, inside & (side < 85) & (ny > 0.32), look["beard"], light)
        if look.get("flower"):
            spot = ((alpha + 70) / 18) ** 2 + ((ny + 0.35) / 0.18) ** 2 < 1
            Fill(self.canvas, inside & spot, look["flower"])

    def Extras(self):
        look = self.look
        facing_front = math.cos(self.phi)
        if "hat" in look and facing_front > -0.5:
            x, _ = self.Lateral(0.0, self.radius * 0.8)
            a = self.radius * (0.78 - 0.3 * abs(math.sin(self.phi)))
            self.Ellipse(self.cx + x, self.head_y - self.radius * 0.3, a, self.radius * 0.17, Shade(look["hat"], 0.8))
        if look.get("beard") and facing_front > -0.4:
            x, _ = self.Lateral(0.0, self.radius * 0.35)
            a = self.radius * (0.62 - 0.2 * abs(math.sin(self.phi)))
            self.Ellipse(self.cx + x, self.head_y + self.radius * 0.92, a, self.radius * 0.42, look["beard"])

    def Paint(self):
        self.BackPanel(True)
        self.Arms(False)
        self.Legs()
        self.Torso()
        self.BackPanel(False)
        self.Arms(True)
        self.HairVolume()
        self.Bun(True)
        self.Head()
        self.Bun(False)
        self.Extras()
        return self.canvas


def Sheet(look):
    sheet = np.zeros((SHEET, SHEET, 3), dtype=np.uint8)
    sheet[:, :] = MAGENTA
    for (block, row), facing in FACINGS.items():
        for frame in range(3):
            rgb, coverage = Reduce(Figure(look, facing, frame).Paint(), SCALE)
            tile = KeyOut(rgb, coverage, outline=OUTLINE)
            # Keep a keyed border so filtering never pulls in the neighbouring tile.
            tile[0, :] = MAGENTA
            tile[-1, :] = MAGENTA
            tile[:, 0] = MAGENTA
            tile[:, -1] = MAGENTA
            if MIRROR_TILES:
                tile = tile[:, ::-1]
            x = (block * 3 + frame) * TILE_W
            y = row * TILE_H
            sheet[y:y + TILE_H, x:x + TILE_W] = tile
    return sheet


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name in ORDER:
        SaveBmp(Sheet(CHARACTERS[name]), os.path.join(out_dir, name + ".bmp"))


if __name__ == "__main__":
    main()
