#!/usr/bin/env python3
"""Paints the interface pictures, the loading and ending pictures and the model
textures.

usage: gen_pictures.py ARCHIVE_ROOT GAME_DIR
    ARCHIVE_ROOT/X/... and ARCHIVE_ROOT/CG/... go into the archive;
    GAME_DIR/CG/NowLoading.bmp is a loose file beside it.
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from paint import (GOLD, GOLD_DARK, MAGENTA, MIST, NIGHT, OUTLINE, WHITE, Canvas, Fill, Grid, KeyOut, Mix,
                   Reduce, SaveBmp)

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"


def Solid(width, height, colour):
    image = np.zeros((height, width, 3), dtype=np.uint8)
    image[:, :] = colour
    return image


def Cursor():
    """The pointer: a quill whose nib, the tip, is the bottom-left texel (the box stands on the pointer)."""
    size, scale = 64, 4
    canvas = Canvas(size * scale, size * scale)
    x, y = Grid(size, size, scale)
    u = (x - 1.0 + (size - 1.0 - y)) / math.sqrt(2)  # along the quill, from the nib
    v = (x - 1.0 - (size - 1.0 - y)) / math.sqrt(2)  # across it
    feather = (u > 14) & (u < 70) & (np.abs(v) < 11 * np.sin(np.clip((u - 14) / 56, 0, 1) * math.pi) + 1)
    Fill(canvas, feather, WHITE, 0.86 + 0.14 * (v > 0))
    Fill(canvas, feather & (np.abs(v) < 1.2), Mix(WHITE, GOLD_DARK, 0.5))
    barbs = feather & (np.sin(u * 1.1) > 0.75) & (np.abs(v) > 3)
    Fill(canvas, barbs, Mix(WHITE, MIST, 0.7))
    nib = (u >= 0) & (u <= 16) & (np.abs(v) <= u * 0.22 + 0.5)
    Fill(canvas, nib, GOLD, 0.8 + 0.2 * (v > 0))
    rgb, coverage = Reduce(canvas, scale)
    return KeyOut(rgb, coverage, outline=OUTLINE)


def ClickIcon():
    """Waiting for a click: a small golden hourglass in the top-left of its 64 x 64 box."""
    size, scale = 64, 4
    canvas = Canvas(size * scale, size * scale)
    x, y = Grid(size, size, scale)
    top, bottom, centre = 8.0, 38.0, 18.0
    half = np.abs(y - (top + bottom) / 2) / ((bottom - top) / 2)
    glass = (y >= top + 3) & (y <= bottom - 3) & (np.abs(x - centre) <= 2 + 9 * half)
    Fill(canvas, glass, (200, 226, 240))
    sand = glass & (((y > (top + bottom) / 2 + 3)) | ((y < (top + bottom) / 2 - 2) & (y > top + 9)))
    Fill(canvas, sand, GOLD)
    for cap in (top, bottom - 3):
        Fill(canvas, (y >= cap) & (y <= cap + 3) & (np.abs(x - centre) <= 13), GOLD_DARK)
    rgb, coverage = Reduce(canvas, scale)
    return KeyOut(rgb, coverage, outline=OUTLINE)


def SelectBack():
    """The link highlight: warm gold with magenta holes in a fine checker, so it reads as see-through."""
    width, height = 256, 32
    y, x = np.mgrid[0:height, 0:width]
    image = Solid(width, height, (236, 190, 96))
    image[(y < 2) | (y >= height - 2)] = (250, 226, 150)
    holes = ((x // 2 + y // 2) % 2 == 0) & (y >= 2) & (y < height - 2)
    image[holes] = MAGENTA
    return image


def TextBack():
    width, height = 512, 256
    y, x = np.mgrid[0:height, 0:width]
    image = Solid(width, height, (30, 34, 60))
    image[(np.abs(x - width / 2) > width / 2 - 6) | (np.abs(y - height / 2) > height / 2 - 6)] = GOLD_DARK
    return image


def EffectMarker():
    """Only the top-left 3/32 of this texture shows: a soft golden ring under the lead."""
    size = 256
    image = Solid(size, size, MAGENTA)
    y, x = np.mgrid[0:24, 0:24]
    d = np.hypot(x - 11.5, y - 11.5)
    ring = (d > 7.5) & (d < 11.5)
    image[:24, :24][ring] = GOLD
    image[:24, :24][(d <= 7.5)] = (250, 226, 150)
    return image


def Gradient(width, height, top, bottom):
    t = np.linspace(0, 1, height)[:, None, None]
    return (np.array(top)[None, None, :] * (1 - t) + np.array(bottom)[None, None, :] * t) * np.ones((1, width, 1))


def Skyline(image, horizon, colour, seed, tower_x):
    """Roofs of the village and the clock tower against the sky."""
    rng = np.random.default_rng(seed)
    height, width = image.shape[:2]
    y, x = np.mgrid[0:height, 0:width]
    ground = y > horizon
    x0 = 0
    while x0 < width:
        w = rng.integers(70, 140)
        h = rng.integers(40, 90)
        roof = (x >= x0) & (x < x0 + w) & (y > horizon - h + np.abs(x - x0 - w / 2) * (h * 0.9) / (w / 2))
        ground |= roof & (y > horizon - h)
        x0 += w + rng.integers(-10, 30)
    tower = (np.abs(x - tower_x) < 44) & (y > horizon - 260)
    spire = (y > horizon - 380 + np.abs(x - tower_x) * 2.6) & (y <= horizon - 260)
    image[ground | tower | spire] = colour
    return tower_x, horizon - 200


def Clock(image, cx, cy, radius, face, hands, hour, minute):
    height, width = image.shape[:2]
    y, x = np.mgrid[0:height, 0:width]
    d = np.hypot(x - cx, y - cy)
    image[d < radius] = face
    image[(d < radius) & (d > radius - 4)] = hands
    for k in range(12):
        a = k * math.pi / 6
        mark = np.hypot(x - (cx + math.sin(a) * (radius - 10)), y - (cy - math.cos(a) * (radius - 10))) < 3
        image[mark] = hands
    for angle, length, width_px in ((hour / 12 * 2 * math.pi, radius * 0.5, 4), (minute / 60 * 2 * math.pi, radius * 0.8, 3)):
        t = np.clip(((x - cx) * math.sin(angle) - (y - cy) * math.cos(angle)) / length, 0, 1)
        px, py = cx + t * length * math.sin(angle), cy - t * length * math.cos(angle)
        image[np.hypot(x - px, y - py) < width_px] = hands


def Title(image, text, size, y, colour):
    picture = Image.fromarray(image.astype(np.uint8))
    draw = ImageDraw.Draw(picture)
    font = ImageFont.truetype(FONT, size)
    width = draw.textlength(text, font=font)
    draw.text(((picture.width - width) / 2 + 3, y + 3), text, font=font, fill=(10, 10, 20))
    draw.text(((picture.width - width) / 2, y), text, font=font, fill=colour)
    return np.array(picture)


def NowLoading():
    image = Gradient(1024, 768, (20, 24, 48), (70, 78, 110))
    tower_x, clock_y = Skyline(image, 600, (16, 18, 34), 3, 512)
    Clock(image, tower_x, clock_y, 34, (226, 214, 170), (40, 36, 50), 3, 0)
    y, x = np.mgrid[0:768, 0:1024]
    mist = np.clip((y - 520) / 248.0, 0, 1) * (0.55 + 0.2 * np.sin(x * 0.013 + y * 0.02))
    image = image * (1 - mist[..., None]) + np.array(MIST)[None, None, :] * mist[..., None] * 0.7
    image = Title(image, "Tavelle", 96, 120, (246, 226, 170))
    image = Title(image, "Now Loading", 36, 690, (220, 224, 240))
    return np.clip(image, 0, 255).astype(np.uint8)


def Ending():
    """Dawn over the village: the fog sinks away and the clock tower shows the time again."""
    image = Gradient(1024, 768, (70, 86, 150), (246, 176, 120))
    y, x = np.mgrid[0:768, 0:1024]
    sun = np.hypot(x - 760, y - 560)
    image[sun < 70] = (255, 236, 180)
    glow = np.clip(1 - sun / 420, 0, 1) ** 2
    image = image + glow[..., None] * np.array((60, 40, 10))[None, None, :]
    tower_x, clock_y = Skyline(image, 620, (54, 44, 70), 11, 330)
    Clock(image, tower_x, clock_y, 36, (250, 236, 190), (60, 44, 60), 6, 0)
    for k in range(5):
        bx, by = 560 + k * 46, 300 + (k % 2) * 24 - k * 8
        wing = (np.abs(np.abs(x - bx) - 9) < 2) & (np.abs(y - by + np.abs(x - bx) * 0.5) < 2) & (np.abs(x - bx) < 16)
        image[wing] = (60, 50, 70)
    mist = np.clip((y - 640) / 128.0, 0, 1) * (0.5 + 0.2 * np.sin(x * 0.02))
    image = image * (1 - mist[..., None]) + np.array((250, 226, 210))[None, None, :] * mist[..., None]
    return np.clip(image, 0, 255).astype(np.uint8)


def Texture(colours, size=64):
    """A small texture in bands, for the models."""
    image = np.zeros((size, size, 3), dtype=np.uint8)
    bands = len(colours)
    for k, colour in enumerate(colours):
        image[k * size // bands:(k + 1) * size // bands, :] = colour
    return image


def main():
    root, game = sys.argv[1:3]
    for folder in (os.path.join(root, "X"), os.path.join(root, "CG"), os.path.join(game, "CG")):
        os.makedirs(folder, exist_ok=True)
    pictures = {
        "CG/cursor.bmp": Cursor(),
        "CG/click.bmp": ClickIcon(),
        "CG/selectback.bmp": SelectBack(),
        "X/textback.bmp": TextBack(),
        "X/effect.bmp": EffectMarker(),
        "CG/end.bmp": Ending(),
        "X/arrow.bmp": Texture([(250, 226, 150), GOLD, GOLD_DARK]),
        "X/mist.bmp": Texture([(200, 200, 210)]),
        "X/question.bmp": Texture([(255, 240, 170), (250, 210, 90), (236, 170, 60)]),
    }
    for name, image in pictures.items():
        SaveBmp(image, os.path.join(root, name))
    SaveBmp(NowLoading(), os.path.join(game, "CG", "NowLoading.bmp"))


if __name__ == "__main__":
    main()
