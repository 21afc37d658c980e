#!/usr/bin/env python3
"""Paints the map-chip atlas ./X/mapchip.bmp: 8 x 8 tiles of 64 pixels.

Ground tiles wrap seamlessly onto themselves, because a stretch of grass or path
is many cells of the same tile side by side. Colours are kept darker than they
will look: the field's fog composite lifts every pixel by a grey of 0.3.

usage: gen_mapchip.py OUT_FILE
"""
import sys

import numpy as np

from paint import SaveBmp
from tiles import ATLAS_TILES, TILE_SIZE, TILES

N = TILE_SIZE
RNG = np.random.default_rng(20240611)
YY, XX = np.mgrid[0:N, 0:N].astype(np.float32)


def Noise(scale, seed_shift=0):
    """Tileable noise in [-1, 1]: white noise low-passed in the frequency domain."""
    field = RNG.standard_normal((N, N)).astype(np.float32)
    fy = np.fft.fftfreq(N)[:, None]
    fx = np.fft.fftfreq(N)[None, :]
    spectrum = np.fft.fft2(field) * np.exp(-(fx * fx + fy * fy) * (scale * scale) * 40.0)
    out = np.real(np.fft.ifft2(spectrum))
    return out / (np.abs(out).max() + 1e-6)


def Colour(base, variation, amount):
    base = np.array(base, dtype=np.float32)
    return np.clip(base[None, None, :] * (1.0 + amount * variation[..., None]), 0, 255)


def Dots(image, count, radius, colours, seed):
    rng = np.random.default_rng(seed)
    for _ in range(count):
        x, y = rng.uniform(0, N, 2)
        colour = colours[rng.integers(len(colours))]
        dx = (XX - x + N / 2) % N - N / 2
        dy = (YY - y + N / 2) % N - N / 2
        image[dx * dx + dy * dy <= radius * radius] = colour
    return image


def Voronoi(count, seed):
    """Distance to the nearest and second-nearest of `count` wrapped points; the cell index."""
    rng = np.random.default_rng(seed)
    points = rng.uniform(0, N, (count, 2))
    distances = []
    for x, y in points:
        dx = (XX - x + N / 2) % N - N / 2
        dy = (YY - y + N / 2) % N - N / 2
        distances.append(np.hypot(dx, dy))
    distances = np.stack(distances)
    order = np.sort(distances, axis=0)
    return order[0], order[1], np.argmin(distances, axis=0)


def Grass(base, seed):
    image = Colour(base, 0.6 * Noise(0.6) + 0.4 * Noise(0.15), 0.22)
    blades = Noise(0.05) > 0.55
    image[blades] *= 1.18
    return Dots(image, 10, 0.9, [np.array(base) * 0.75], seed)


def Cobble(base, seed, count=14):
    near, second, cell = Voronoi(count, seed)
    tone = 0.85 + 0.3 * ((cell * 37 % 11) / 10.0)
    image = Colour(base, Noise(0.3), 0.1) * tone[..., None]
    image[second - near < 2.2] = np.array(base) * 0.45
    return image


def Planks(base, along_x, seed):
    coord = YY if along_x else XX
    plank = (coord // 16).astype(int)
    image = Colour(base, 0.3 * Noise(0.08) + 0.15 * np.sin((XX if along_x else YY) * 0.9 + plank), 0.2)
    image *= (0.9 + 0.08 * (plank % 3))[..., None]
    image[(coord % 16) < 1.5] = np.array(base) * 0.4
    return Dots(image, 6, 1.0, [np.array(base) * 0.5], seed)


def Canopy(base, seed, blobs=26):
    rng = np.random.default_rng(seed)
    image = Colour(base, Noise(0.4), 0.2) * 0.8
    for _ in range(blobs):
        x, y = rng.uniform(0, N, 2)
        r = rng.uniform(6, 12)
        dx = (XX - x + N / 2) % N - N / 2
        dy = (YY - y + N / 2) % N - N / 2
        inside = dx * dx + dy * dy <= r * r
        light = np.clip(1.0 - (dx + dy) / (2.2 * r), 0.7, 1.3)
        image[inside] = (np.array(base)[None, :] * light[inside][:, None])
    return image


def Roof(base):
    row = (YY // 10).astype(int)
    shift = (row % 2) * 8
    edge = ((XX + shift) % 16) < 1.5
    image = Colour(base, 0.5 * Noise(0.2), 0.12)
    image *= (0.75 + 0.35 * ((YY % 10) / 10.0))[..., None]
    image[edge] *= 0.6
    image[(YY % 10) < 1.2] *= 0.55
    return image


def Water(base, seed):
    waves = np.sin(XX * 2 * np.pi / 32 + 2 * np.sin(YY * 2 * np.pi / 64)) * np.sin(YY * 2 * np.pi / 16 + seed)
    image = Colour(base, 0.5 * Noise(0.5) + 0.25 * waves, 0.25)
    image[waves > 0.82] = np.array(base) * 1.7
    return image


def Rock(base, seed):
    near, second, _ = Voronoi(7, seed)
    image = Colour(base, 0.7 * Noise(0.3) + 0.3 * Noise(0.08), 0.25)
    image[second - near < 1.6] *= 0.55
    return image


def Ring(inner, outer, stone, centre):
    d = np.hypot(XX - 31.5, YY - 31.5)
    image = Cobble((92, 100, 84), 3, 18)
    image[d < outer] = Cobble(stone, 5, 12)[d < outer]
    image[d < inner] = np.array(centre)
    return image


def Hedge(seed):
    image = Canopy((52, 92, 44), seed, 30)
    return Dots(image, 16, 2.2, [np.array((214, 120, 150)), np.array((236, 226, 200)), np.array((232, 196, 90))], seed)


def Woodpile(seed):
    image = Planks((112, 80, 52), False, seed)
    near, second, cell = Voronoi(9, seed + 1)
    logs = near < 8
    ringed = (np.sin(near * 1.6) > 0.3) & logs
    image[logs] = np.array((176, 132, 82))
    image[ringed] = np.array((140, 100, 60))
    image[(near > 7.0) & (near < 8.5)] = np.array((80, 56, 36))
    return image


def Fern(seed):
    image = Colour((46, 74, 40), Noise(0.5), 0.2)
    rng = np.random.default_rng(seed)
    for _ in range(9):
        x, y = rng.uniform(0, N, 2)
        angle = rng.uniform(0, np.pi)
        dx = (XX - x + N / 2) % N - N / 2
        dy = (YY - y + N / 2) % N - N / 2
        u = dx * np.cos(angle) + dy * np.sin(angle)
        v = -dx * np.sin(angle) + dy * np.cos(angle)
        frond = (np.abs(u) < 14) & (np.abs(v) < (14 - np.abs(u)) * 0.35 * (1 + 0.5 * np.sin(u * 1.8)))
        image[frond] = np.array((84, 136, 62)) * (0.9 + 0.2 * (v[frond] > 0))[:, None]
    return image


def Altar(seed):
    image = Cobble((70, 66, 88), seed, 10)
    d = np.hypot(XX - 31.5, YY - 31.5)
    runes = (np.abs(d - 22) < 1.4) & (np.sin(np.arctan2(YY - 31.5, XX - 31.5) * 9) > 0.2)
    image[runes] = np.array((150, 120, 210))
    return image


def Flagstone(base, seed, moss):
    """Worn slabs laid in staggered rows, each a little different in tone."""
    row = (YY // 21).astype(int)
    shifted = (XX + (row % 2) * 16) % N
    slab = (shifted // 32).astype(int) * 5 + row * 3
    image = Colour(base, 0.6 * Noise(0.25) + 0.2 * Noise(0.05), 0.16)
    image *= (0.84 + 0.05 * (slab % 4))[..., None]
    joints = ((shifted % 32) < 1.5) | ((YY % 21.333) < 1.5)
    image[joints] = np.array(base) * 0.55
    if moss:
        patches = Noise(0.4) > 0.35
        image[patches] = image[patches] * 0.5 + np.array((60, 96, 48)) * 0.5
    return image


def PaintTile(name):
    painters = {
        "grass": lambda: Grass((66, 114, 50), 1),
        "grass2": lambda: Grass((72, 118, 48), 2),
        "grass3": lambda: Dots(Grass((62, 110, 52), 3), 8, 1.3, [np.array((210, 214, 190))], 4),
        "flowers": lambda: Dots(Grass((64, 112, 50), 5), 22, 1.8,
                                [np.array((236, 224, 120)), np.array((240, 236, 226)), np.array((220, 130, 160))], 6),
        "moss": lambda: Dots(Grass((50, 80, 46), 7), 18, 1.4, [np.array((98, 78, 44)), np.array((80, 64, 38))], 8),
        "moss2": lambda: Dots(Grass((48, 84, 50), 9), 14, 1.4, [np.array((104, 82, 46))], 10),
        "path": lambda: Dots(Colour((134, 102, 66), 0.7 * Noise(0.4) + 0.3 * Noise(0.08), 0.18), 14, 1.3,
                             [np.array((110, 90, 70)), np.array((160, 134, 100))], 11),
        "path2": lambda: Dots(Colour((128, 98, 64), 0.7 * Noise(0.4) + 0.3 * Noise(0.08), 0.2), 12, 1.5,
                              [np.array((104, 86, 68))], 12),
        "cobble": lambda: Cobble((124, 116, 104), 13),
        "cobble2": lambda: Cobble((118, 112, 104), 14),
        "bridge": lambda: Planks((122, 84, 50), True, 15),
        "flagstone": lambda: Flagstone((112, 104, 112), 16, False),
        "flagstone2": lambda: Flagstone((104, 100, 104), 17, True),
        "deck": lambda: Planks((150, 110, 70), False, 18),
        "canopy": lambda: Canopy((46, 96, 46), 19),
        "canopy2": lambda: Canopy((54, 104, 42), 20),
        "pine": lambda: Canopy((36, 78, 62), 21, 34),
        "rock": lambda: Rock((104, 96, 88), 22),
        "rock2": lambda: Rock((96, 92, 90), 23),
        "roof_red": lambda: Roof((176, 72, 52)),
        "roof_blue": lambda: Roof((64, 92, 150)),
        "roof_green": lambda: Roof((72, 126, 84)),
        "tower": lambda: Roof((84, 88, 112)),
        "pillar": lambda: Rock((130, 124, 112), 24),
        "water": lambda: Water((44, 86, 136), 0.0),
        "water2": lambda: Water((42, 82, 132), 1.3),
        "hedge": lambda: Hedge(25),
        "woodpile": lambda: Woodpile(26),
        "rubble": lambda: Dots(Rock((96, 90, 84), 27), 14, 2.5, [np.array((62, 96, 52)), np.array((74, 104, 58))], 30),
        "well": lambda: Ring(12, 24, (130, 124, 116), (30, 52, 84)),
        "fern": lambda: Fern(28),
        "altar": lambda: Altar(29),
    }
    return painters[name]()


def main():
    atlas = np.zeros((N * ATLAS_TILES, N * ATLAS_TILES, 3), dtype=np.float32)
    atlas[:, :] = (60, 60, 60)
    for name, (column, row) in TILES.items():
        atlas[row * N:(row + 1) * N, column * N:(column + 1) * N] = PaintTile(name)
    SaveBmp(np.clip(atlas + 0.5, 0, 255).astype(np.uint8), sys.argv[1])


if __name__ == "__main__":
    main()
