"""The map-chip atlas: an 8 x 8 grid of 64-pixel tiles.

A chip number is 10 * atlas column + atlas row, which is how the terrain reads
it. The map sources name tiles by a one-letter legend; this table is the one
place that ties a legend letter to its tile, whether the cell can be walked on,
and how the corners of a block of such cells are lifted.
"""

TILE_SIZE = 64
ATLAS_TILES = 8

# legend letter: (tile name, walkable, corner lift class)
LEGEND = {
    ".": ("grass", True, None),
    ",": ("flowers", True, None),
    ";": ("moss", True, None),
    ":": ("path", True, None),
    "#": ("cobble", True, None),
    "=": ("bridge", True, None),
    "_": ("flagstone", True, None),
    "p": ("deck", True, None),
    "a": ("path", True, None),
    "b": ("path", True, None),
    "c": ("path", True, None),
    "d": ("flagstone", True, None),
    "T": ("canopy", False, "tree"),
    "P": ("pine", False, "tree"),
    "^": ("rock", False, "rock"),
    "R": ("roof_red", False, "roof"),
    "B": ("roof_blue", False, "roof"),
    "G": ("roof_green", False, "roof"),
    "C": ("tower", False, "spire"),
    "|": ("pillar", False, "pillar"),
    "~": ("water", False, "water"),
    "h": ("hedge", False, None),
    "w": ("woodpile", False, None),
    "o": ("rubble", False, "rubble"),
    "O": ("well", False, None),
    "f": ("fern", False, None),
    "s": ("altar", False, None),
}

# Exit letters stand for the exit attribute that their map assigns them.
EXIT_LETTERS = "abcd"

# tile name -> (atlas column, atlas row); neighbours in the atlas are kept alike
# in tone, because a tile's edge texels blend with its atlas neighbour's.
TILES = {
    "grass": (0, 0), "grass2": (0, 1), "grass3": (0, 2), "flowers": (0, 3),
    "moss": (0, 4), "moss2": (0, 5),
    "path": (1, 0), "path2": (1, 1), "cobble": (1, 2), "cobble2": (1, 3),
    "bridge": (1, 4), "flagstone": (1, 5), "flagstone2": (1, 6), "deck": (1, 7),
    "canopy": (2, 0), "canopy2": (2, 1), "pine": (2, 2), "rock": (2, 3), "rock2": (2, 4),
    "roof_red": (3, 0), "roof_blue": (3, 1), "roof_green": (3, 2), "tower": (3, 3),
    "pillar": (3, 4),
    "water": (4, 0), "water2": (4, 1),
    "hedge": (5, 0), "woodpile": (5, 1), "rubble": (5, 2), "well": (5, 3),
    "fern": (5, 4), "altar": (5, 5),
}

# Variants that break up large areas of one tile.
VARIANTS = {
    "grass": ["grass", "grass2", "grass3", "grass"],
    "moss": ["moss", "moss2"],
    "path": ["path", "path2"],
    "cobble": ["cobble", "cobble2"],
    "flagstone": ["flagstone", "flagstone2"],
    "canopy": ["canopy", "canopy2"],
    "rock": ["rock", "rock2"],
    "water": ["water", "water2"],
}


def ChipNumber(tile):
    column, row = TILES[tile]
    return column * 10 + row
