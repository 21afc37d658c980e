#!/usr/bin/env python3
"""Paints the six portraits (./CG/<name>.bmp): busts of 360 x 460 that the
scripts put on the lower part of the screen, below the message text.

usage: gen_portraits.py OUT_DIR
"""
import math
import os
import sys

import numpy as np

from characters import CHARACTERS
from paint import BLUSH, EYE, OUTLINE, SKIN, WHITE, Canvas, Fill, Grid, KeyOut, Mix, Reduce, SaveBmp, Shade

WIDTH, HEIGHT, SCALE = 360, 460, 2
PEOPLE = ["miroune", "pendel", "sorvane", "obrik", "daskel", "korvath"]


class Portrait:
    def __init__(self, name):
        self.name = name
        self.look = CHARACTERS[name]
        self.canvas = Canvas(WIDTH * SCALE, HEIGHT * SCALE)
        self.X, self.Y = Grid(WIDTH, HEIGHT, SCALE)
        self.cx, self.cy = 180.0, 190.0
        self.rx, self.ry = 96.0, 108.0

    def Ellipse(self, x, y, a, b, angle=0.0):
        c, s = math.cos(angle), math.sin(angle)
        dx, dy = self.X - x, self.Y - y
        u, v = dx * c + dy * s, -dx * s + dy * c
        return (u / a) ** 2 + (v / b) ** 2 <= 1.0

    def Light(self):
        """Soft light from the upper left over the whole picture."""
        return np.clip(1.05 - 0.0018 * (self.X - 120) - 0.0008 * (self.Y - 150), 0.72, 1.1)

    def HeadMask(self, grow=0.0):
        t = (self.Y - self.cy) / (self.ry + grow)
        rx = (self.rx + grow) * np.where(t > 0, 1 - 0.3 * t * t, 1.0)
        return ((self.X - self.cx) / np.maximum(rx, 1e-3)) ** 2 + t * t <= 1.0

    def Body(self):
        look = self.look
        broad = 1.18 if look.get("broad") else 1.0
        t = np.clip((self.Y - 300) / 160.0, 0, 1)
        w = (118 + 60 * np.sqrt(t)) * broad
        body = (self.Y >= 292) & (np.abs(self.X - self.cx) <= w)
        shade = self.Light() * (0.92 - 0.08 * np.abs(self.X - self.cx) / 200)
        if look.get("cape"):
            cape = (self.Y >= 280) & (np.abs(self.X - self.cx) <= w + 14)
            Fill(self.canvas, cape, look["cape"], shade)
        Fill(self.canvas, body, look["coat"], shade)
        neck = (self.Y >= 250) & (self.Y <= 320) & (np.abs(self.X - self.cx) <= 30)
        Fill(self.canvas, neck, Shade(look.get("skin", SKIN), 0.86), shade)
        collar = body & (self.Y < 330) & (np.abs(self.X - self.cx) < 70 + (self.Y - 292))
        Fill(self.canvas, collar & ~self.Ellipse(self.cx, 300, 40, 34), look["trim"], shade)
        if look.get("apron"):
            apron = body & (np.abs(self.X - self.cx) < 78) & (self.Y > 340)
            Fill(self.canvas, apron, look["apron"], shade)
            for side in (-1, 1):
                strap = body & (np.abs(self.X - (self.cx + side * 62)) < 9) & (self.Y <= 340)
                Fill(self.canvas, strap, look["apron"], shade)
        elif not look.get("robe"):
            for y in (350, 395, 440):
                Fill(self.canvas, self.Ellipse(self.cx, y, 7, 7), look["trim"])
        if "satchel" in look:
            strap = body & (np.abs((self.X - self.cx) * 0.6 - (self.Y - 380) * -1.0) < 12)
            Fill(self.canvas, strap, look["satchel"], shade)
        if self.name == "korvath":
            for k in range(9):
                x = self.cx - 150 + k * 37.5
                feather = self.Ellipse(x, 318, 26, 13, angle=0.5 if x < self.cx else -0.5) & body
                Fill(self.canvas, feather, Mix(look["trim"], look["coat"], 0.3 + 0.1 * (k % 2)), shade)

    def BackHair(self):
        look = self.look
        style = look["hair_style"]
        shade = self.Light()
        if style in ("bob", "bun"):
            Fill(self.canvas, self.HeadMask(14) & (self.Y < self.cy + 70), look["hair"], shade)
        if style == "long":
            reach = np.abs(self.X - self.cx)
            mass = self.HeadMask(18) | ((reach < 124 - 0.1 * (self.Y - 200)) & (self.Y > self.cy)
                                        & ((reach > 64) | (self.Y < 300)))
            Fill(self.canvas, mass, look["hair"], shade * (0.94 + 0.06 * np.sin(self.X * 0.16)))
        if style == "hood":
            hood = self.HeadMask(26) | ((np.abs(self.X - self.cx) < 150) & (self.Y > self.cy + 40) & (self.Y < 330))
            Fill(self.canvas, hood, look["hood"], shade * 0.9)

    def Face(self):
        look = self.look
        skin = look.get("skin", SKIN)
        head = self.HeadMask()
        shade = self.Light() * np.clip(1.0 - 0.25 * ((self.X - self.cx) / self.rx) ** 2, 0.7, 1.0)
        Fill(self.canvas, head, skin, shade)
        if not look.get("glow") and not look.get("beard"):
            for side in (-1, 1):
                Fill(self.canvas, head & self.Ellipse(self.cx + side * 52, 232, 20, 10), Mix(skin, BLUSH, 0.7))
        eye_y = 196
        for side in (-1, 1):
            x = self.cx + side * 38
            if look.get("glow"):
                Fill(self.canvas, self.Ellipse(x, eye_y, 19, 11, angle=side * 0.25), (40, 30, 40))
                Fill(self.canvas, self.Ellipse(x, eye_y, 13, 7, angle=side * 0.25), look["eyes"])
                Fill(self.canvas, self.Ellipse(x - 3, eye_y - 2, 4, 3), (255, 244, 200))
                continue
            Fill(self.canvas, self.Ellipse(x, eye_y, 17, 21), WHITE)
            Fill(self.canvas, self.Ellipse(x + side * 1, eye_y + 3, 13, 17), look["eyes"])
            Fill(self.canvas, self.Ellipse(x + side * 1, eye_y + 5, 7, 10), EYE)
            Fill(self.canvas, self.Ellipse(x - 5, eye_y - 5, 5, 6), (255, 255, 255))
            lid = self.Ellipse(x, eye_y - 16, 22, 6)
            Fill(self.canvas, lid, OUTLINE)
            brow_y = eye_y - 40
            Fill(self.canvas, self.Ellipse(x, brow_y, 22, 4.5, angle=-side * 0.12),
                 Shade(look.get("beard", look["hair"]), 0.7) if look["hair_style"] == "bald" else Shade(look["hair"], 0.7))
            if look.get("glasses"):
                ring = self.Ellipse(x, eye_y, 31, 30) & ~self.Ellipse(x, eye_y, 26, 25)
                Fill(self.canvas, ring, (178, 132, 58))
        if look.get("glasses"):
            Fill(self.canvas, (np.abs(self.Y - eye_y) < 2.5) & (np.abs(self.X - self.cx) < 10), (178, 132, 58))
        if not look.get("glow"):
            Fill(self.canvas, self.Ellipse(self.cx + 3, 232, 5, 4), Shade(skin, 0.82))
        if look.get("beard"):
            beard = head & (self.Y > 228) | self.Ellipse(self.cx, 292, 80 if self.name == "obrik" else 66, 58)
            beard &= ~self.Ellipse(self.cx, 250, 26, 12)
            Fill(self.canvas, beard, look["beard"], self.Light() * (0.92 + 0.08 * np.sin(self.X * 0.3)))
            Fill(self.canvas, self.Ellipse(self.cx, 252, 20, 7), Shade(look["beard"], 0.55))
            moustache = self.Ellipse(self.cx - 24, 238, 28, 9, 0.2) | self.Ellipse(self.cx + 24, 238, 28, 9, -0.2)
            Fill(self.canvas, moustache, Shade(look["beard"], 1.05))
        elif not look.get("glow"):
            smile = self.Ellipse(self.cx, 252, 18, 9) & ~self.Ellipse(self.cx, 247, 20, 8)
            Fill(self.canvas, smile, Shade(BLUSH, 0.7))

    def FrontHair(self):
        look = self.look
        style = look["hair_style"]
        shade = self.Light()
        top = self.HeadMask(4)
        if style in ("bob", "long", "bun"):
            fringe = top & (self.Y < self.cy - 48 + 16 * np.abs(np.sin((self.X - self.cx) * 0.05)))
            sides = top & (np.abs(self.X - self.cx) > 78) & (self.Y < self.cy + 60)
            Fill(self.canvas, fringe | sides, look["hair"], shade)
        if style == "bun":
            Fill(self.canvas, self.Ellipse(self.cx, self.cy - 118, 44, 36), look["hair"], shade)
        if style == "bald":
            sides = top & (np.abs(self.X - self.cx) > 84) & (self.Y > self.cy - 50) & (self.Y < self.cy + 30)
            if self.name == "obrik":
                scarf = top & (self.Y < self.cy - 40)
                Fill(self.canvas, scarf, look["hair"], shade)
                Fill(self.canvas, self.Ellipse(self.cx + 96, self.cy - 60, 26, 16, 0.6), Shade(look["hair"], 0.85))
            else:
                Fill(self.canvas, sides, look["hair"], shade)
        if style == "hood":
            rim = self.HeadMask(26) & ~self.Ellipse(self.cx, self.cy + 18, 84, 100)
            Fill(self.canvas, rim & (self.Y < self.cy + 120), look["hood"], shade)
            if self.name == "korvath":
                shadow = self.HeadMask() & (self.Y < self.cy - 10)
                Fill(self.canvas, shadow, Shade(look["skin"], 0.55), shade)
                for side in (-1, 1):
                    x = self.cx + side * 38
                    Fill(self.canvas, self.Ellipse(x, 196, 13, 7, angle=side * 0.25), look["eyes"])
                    Fill(self.canvas, self.Ellipse(x - 3, 194, 4, 3), (255, 244, 200))
            else:
                tuft = self.HeadMask(2) & (self.Y < self.cy - 50) & ~rim
                Fill(self.canvas, tuft, look["hair"], shade)
        if look.get("flower"):
            for k in range(5):
                a = k * 2 * math.pi / 5
                Fill(self.canvas, self.Ellipse(self.cx - 92 + 14 * math.cos(a), self.cy - 70 + 14 * math.sin(a), 11, 11),
                     look["flower"])
            Fill(self.canvas, self.Ellipse(self.cx - 92, self.cy - 70, 7, 7), (250, 220, 120))

    def Paint(self):
        self.BackHair()
        self.Body()
        if self.look["hair_style"] == "long":
            self.BackHair()
        self.Face()
        self.FrontHair()
        rgb, coverage = Reduce(self.canvas, SCALE)
        return KeyOut(rgb, coverage, outline=OUTLINE)


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name in PEOPLE:
        SaveBmp(Portrait(name).Paint(), os.path.join(out_dir, name + ".bmp"))


if __name__ == "__main__":
    main()
