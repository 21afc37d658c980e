#!/usr/bin/env python3
"""Makes the desktop icon from the lead's sprite sheet: the front-facing standing
tile, magenta made transparent, scaled up in whole pixels to 256 x 256.

usage: gen_icon.py SPRITE_SHEET.bmp OUT.png
"""
import sys

from PIL import Image

TILE_W, TILE_H = 32, 48
SIZE = 256


def main():
    sheet = Image.open(sys.argv[1]).convert("RGBA")
    # Left block, middle walk frame of row 0 (towards the viewer); tiles are stored
    # mirrored for the billboard, so it is turned back.
    tile = sheet.crop((TILE_W, 0, 2 * TILE_W, TILE_H)).transpose(Image.FLIP_LEFT_RIGHT)
    pixels = [(0, 0, 0, 0) if p[:3] == (255, 0, 255) else p for p in tile.getdata()]
    tile.putdata(pixels)
    scale = SIZE // TILE_H
    big = tile.resize((TILE_W * scale, TILE_H * scale), Image.NEAREST)
    icon = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
    icon.paste(big, ((SIZE - big.width) // 2, (SIZE - big.height) // 2))
    icon.save(sys.argv[2])


if __name__ == "__main__":
    main()
