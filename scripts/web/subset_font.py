#!/usr/bin/env python3
"""Writes the web player's font: the Japanese Gothic face cut down to the characters
code page 932 can encode (the only ones the game can show) and '?', its stand-in."""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


def cp932_characters():
    chars = set(range(0x20, 0x7F)) | set(range(0xFF61, 0xFFA0)) | {ord("?")}
    leads = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
    for lead in leads:
        for trail in range(0x40, 0xFD):
            try:
                chars.add(ord(bytes([lead, trail]).decode("cp932")))
            except UnicodeDecodeError:
                pass
    return chars


def main(source, target):
    options = subset.Options()
    # The outlines stay as they are. The face's hinting programs go: they are half of
    # its compressed size (2.5 MB of glyph data gzipped with them, 1.3 MB without), and
    # at the game's text size FreeType's unhinted anti-aliased glyphs differ from the
    # hinted ones by a softer edge here and there. The layout tables the game never
    # reads go too.
    options.hinting = False
    options.layout_features = []
    options.name_IDs = ["*"]
    options.notdef_outline = True
    font = TTFont(source)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=sorted(cp932_characters()))
    subsetter.subset(font)
    font.save(target)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
