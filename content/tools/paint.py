"""Shared palette and drawing helpers of the picture generators.

Every picture is painted at a multiple of its size as straight RGBA and then
reduced with coverage weighting: colours are averaged over covered samples only
and a texel is either opaque or exact magenta (the game's transparent colour).
That keeps edges smooth inside a figure without any pink fringe around it.
"""
import numpy as np
from PIL import Image

MAGENTA = (255, 0, 255)

# One palette for the whole game: warm, slightly dusky colours that keep their
# character when the field's grey fog is laid over them.
OUTLINE = (52, 38, 50)
SKIN = (242, 203, 168)
SKIN_SHADE = (214, 158, 128)
BLUSH = (236, 150, 140)
EYE = (48, 36, 52)
WHITE = (246, 240, 226)
GOLD = (232, 182, 72)
GOLD_DARK = (176, 122, 40)
NIGHT = (34, 38, 66)
MIST = (196, 200, 214)


def Canvas(width, height):
    return np.zeros((height, width, 4), dtype=np.float32)


def Grid(width, height, scale):
    """Pixel-centre coordinates of a canvas painted at `scale` times, in final-pixel units."""
    ys, xs = np.mgrid[0:height * scale, 0:width * scale].astype(np.float32)
    return (xs + 0.5) / scale, (ys + 0.5) / scale


def Fill(canvas, mask, colour, shade=None):
    """Paints colour (times an optional per-pixel shade) where mask holds."""
    rgb = np.array(colour, dtype=np.float32) / 255.0
    if np.isscalar(shade):
        rgb = rgb * shade
        shade = None
    if shade is None:
        canvas[mask, :3] = rgb
    else:
        canvas[mask, :3] = np.clip(rgb[None, :] * shade[mask][:, None], 0.0, 1.0)
    canvas[mask, 3] = 1.0


def Reduce(canvas, scale):
    """Coverage-weighted reduction to final size: returns an RGB uint8 array and a coverage array."""
    h, w = canvas.shape[0] // scale, canvas.shape[1] // scale
    blocks = canvas.reshape(h, scale, w, scale, 4)
    alpha = blocks[..., 3].sum(axis=(1, 3))
    rgb = (blocks[..., :3] * blocks[..., 3:4]).sum(axis=(1, 3))
    coverage = alpha / (scale * scale)
    rgb = rgb / np.maximum(alpha, 1e-6)[..., None]
    return (np.clip(rgb, 0, 1) * 255 + 0.5).astype(np.uint8), coverage


def KeyOut(rgb, coverage, threshold=0.5, outline=None):
    """Opaque where covered, magenta elsewhere; an optional one-texel outline round the shape."""
    solid = coverage >= threshold
    out = rgb.copy()
    if outline is not None:
        grown = solid.copy()
        grown[1:, :] |= solid[:-1, :]
        grown[:-1, :] |= solid[1:, :]
        grown[:, 1:] |= solid[:, :-1]
        grown[:, :-1] |= solid[:, 1:]
        ring = grown & ~solid
        out[ring] = outline
        solid = grown
    out[~solid] = MAGENTA
    return NoStrayMagenta(out, solid)


def NoStrayMagenta(rgb, solid):
    """Nudges any opaque texel that happens to be pure magenta, so only holes are keyed out."""
    hit = solid & (rgb[..., 0] == 255) & (rgb[..., 1] == 0) & (rgb[..., 2] == 255)
    rgb[hit] = (254, 1, 254)
    return rgb


def SaveBmp(rgb, path):
    """Writes a 24-bit BMP."""
    Image.fromarray(np.ascontiguousarray(rgb), "RGB").save(path, format="BMP")


def Mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def Shade(colour, factor):
    return tuple(max(0, min(255, int(round(c * factor)))) for c in colour)
