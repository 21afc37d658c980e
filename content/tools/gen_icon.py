#!/usr/bin/env python3
"""Draws the desktop icon, the clock tower in the fog, at every size the menu asks
for. Each size is drawn from the same shapes at four times its size and reduced,
so the edges stay sharp at 256 x 256 and the small sizes are not a blurred copy of
a large one. The smallest sizes leave out the fog, which would only muddy them.

usage: gen_icon.py OUT_DIR SIZE...   (writes OUT_DIR/SIZExSIZE/tavelle.png)
"""
import math
import os
import sys

from PIL import Image, ImageDraw

SUPERSAMPLE = 4
# Below this size the fog bands and the clock's minute marks are left out.
DETAIL_SIZE = 48

SKY_TOP = (22, 34, 66)
SKY_BOTTOM = (70, 104, 122)
STONE = (214, 200, 172)
STONE_SHADE = (168, 152, 128)
ROOF = (150, 46, 52)
FACE = (250, 244, 224)
HANDS = (34, 30, 40)
OUTLINE = (28, 26, 36)
FOG = (236, 240, 244)


def Box(size, left, top, right, bottom):
    """A rectangle given in 1/256ths of the icon."""
    k = size / 256.0
    return [left * k, top * k, right * k, bottom * k]


def Points(size, points):
    k = size / 256.0
    return [(x * k, y * k) for x, y in points]


def Background(size):
    gradient = Image.new("RGBA", (size, size))
    pixels = gradient.load()
    for y in range(size):
        t = y / (size - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(SKY_TOP, SKY_BOTTOM)) + (255,)
        for x in range(size):
            pixels[x, y] = colour
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).rounded_rectangle(Box(size, 8, 8, 248, 248), radius=size * 40 / 256, fill=255)
    icon = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    icon.paste(gradient, (0, 0), mask)
    return icon


def Tower(draw, size, detail):
    line = max(1, round(size * 5 / 256))
    draw.polygon(Points(size, [(128, 18), (76, 92), (180, 92)]), fill=ROOF, outline=OUTLINE, width=line)
    draw.rectangle(Box(size, 84, 92, 172, 236), fill=STONE, outline=OUTLINE, width=line)
    draw.rectangle(Box(size, 150, 96, 168, 232), fill=STONE_SHADE)
    # The door at the foot of the tower.
    draw.rounded_rectangle(Box(size, 112, 196, 144, 236), radius=size * 14 / 256, fill=OUTLINE)
    cx, cy, radius = 128, 140, 34
    draw.ellipse(Box(size, cx - radius, cy - radius, cx + radius, cy + radius), fill=FACE, outline=OUTLINE,
                 width=line)
    if detail:
        for hour in range(12):
            angle = hour * math.pi / 6
            inner, outer = radius - 9, radius - 4
            draw.line(Points(size, [(cx + inner * math.sin(angle), cy - inner * math.cos(angle)),
                                    (cx + outer * math.sin(angle), cy - outer * math.cos(angle))]),
                      fill=HANDS, width=max(1, round(size * 3 / 256)))
    # Ten past ten, the hands of a clock at rest.
    hand = max(1, round(size * 7 / 256))
    for angle, length in ((-2 * math.pi / 6 - 0.1, 18), (2 * math.pi / 6, 25)):
        draw.line(Points(size, [(cx, cy), (cx + length * math.sin(angle), cy - length * math.cos(angle))]),
                  fill=HANDS, width=hand)
    dot = 5
    draw.ellipse(Box(size, cx - dot, cy - dot, cx + dot, cy + dot), fill=HANDS)


def Fog(size):
    """Soft bands drifting across the foot of the tower."""
    fog = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(fog)
    for top, alpha, phase in ((184, 150, 0.0), (206, 190, 1.7), (226, 220, 3.1)):
        band = [(x, top + 7 * math.sin(x / 256 * 2 * math.pi * 1.5 + phase)) for x in range(0, 257, 8)]
        band += [(256, 248), (0, 248)]
        draw.polygon(Points(size, band), fill=FOG + (alpha,))
    return fog


def Icon(size):
    big = size * SUPERSAMPLE
    detail = size >= DETAIL_SIZE
    icon = Background(big)
    Tower(ImageDraw.Draw(icon), big, detail)
    if detail:
        icon = Image.alpha_composite(icon, Fog(big))
    # The fog must not spill over the rounded corners.
    corners = Image.new("L", (big, big), 0)
    ImageDraw.Draw(corners).rounded_rectangle(Box(big, 8, 8, 248, 248), radius=big * 40 / 256, fill=255)
    icon.putalpha(Image.composite(icon.getchannel("A"), corners, corners))
    return icon.resize((size, size), Image.LANCZOS)


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: gen_icon.py OUT_DIR SIZE...")
    out_dir = sys.argv[1]
    for size in (int(s) for s in sys.argv[2:]):
        folder = os.path.join(out_dir, "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        Icon(size).save(os.path.join(folder, "tavelle.png"))


if __name__ == "__main__":
    main()
