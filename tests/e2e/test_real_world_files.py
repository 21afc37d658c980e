"""The demo game with every bitmap remade from real art by ImageMagick (RLE8 and 32-bit
files, as an author's tools write them) and both effects remade by sox as 24-bit
extensible waves: it loads without a message, shows the pictures at their own sizes, and
the click sounds."""
import glob
import os
import shutil
import struct
import subprocess
import unittest
import wave

from tavelle_e2e import GAME_DIR, ZRN, pack, require_game_dir, run_play, scratch_dir

ART = "/usr/share/pixmaps/debian-logo.png"  # shipped by debconf on every Debian system
PICTURES = ["miroune", "pendel", "sorvane", "obrik", "daskel", "korvath", "end"]
TOWER_CLICKS = "20 click 996 468\n80 click 719 468\n"  # walk to the tower, click its marker
TOWER_SLOT = 10  # the scene that marker starts
CLICK_FRAME = 20
FPS = 60
RATE = 44100


def picture_size(number):
    """Sizes that no power of two rounds to: a texture of another size would show."""
    return 300 + 7 * number, 400 + 11 * number


def bitmap_header(path):
    with open(path, "rb") as f:
        head = f.read(34)
    info, width, height, _, bits, compression = struct.unpack("<IiiHHI", head[14:34])
    return bits, compression, width, abs(height)


def make_bitmap(path, width, height, thirty_two):
    """RLE8 is what ImageMagick writes for a palette BMP3 by default; the 32-bit file keeps
    the art's alpha in a V5 header."""
    if thirty_two:
        args = [ART, "-resize", "%dx%d!" % (width, height), "-define", "bmp:format=bmp4",
                "-type", "TrueColorAlpha", "BMP:" + path]
    else:
        args = [ART, "-resize", "%dx%d!" % (width, height), "-background", "magenta",
                "-flatten", "-type", "Palette", "BMP3:" + path]
    subprocess.run(["convert"] + args, check=True, capture_output=True)
    bits, compression, w, h = bitmap_header(path)
    expected = (32, 3) if thirty_two else (8, 1)
    assert (bits, compression, w, h) == expected + (width, height), (path, bits, compression)


def make_effect(path, frequency):
    subprocess.run(["sox", "-n", "-r", "48000", "-c", "2", "-b", "24", path, "synth", "0.1",
                    "sine", str(frequency), "vol", "0.5"], check=True, capture_output=True)
    with open(path, "rb") as f:
        head = f.read(22)
    assert head[12:16] == b"fmt " and struct.unpack("<H", head[20:22])[0] == 0xFFFE, path


def build_game():
    """A copy of the demo whose bitmaps and effects are all remade; the scene of the tower
    marker shows the seven pictures at once."""
    work = scratch_dir("tavelle-realfiles-")
    tree = os.path.join(work, "tree")
    subprocess.run([ZRN, "unpack", os.path.join(GAME_DIR, "ZRN.dat"), tree], check=True,
                   capture_output=True)
    data = os.path.join(work, "data")
    shutil.copytree(GAME_DIR, data)
    bitmaps = glob.glob(os.path.join(tree, "*", "*.bmp")) + [
        os.path.join(data, "CG", "NowLoading.bmp")]
    for i, path in enumerate(sorted(bitmaps)):
        name = os.path.splitext(os.path.basename(path))[0]
        folder = os.path.basename(os.path.dirname(path))
        if folder == "CG" and name in PICTURES:
            number = PICTURES.index(name) + 1
            width, height = picture_size(number)
            make_bitmap(path, width, height, number % 2 == 0)
        else:
            _, _, width, height = bitmap_header(path)
            make_bitmap(path, width, height, i % 3 == 0)
    script = "".join("[image %d layer=%d]" % (n, n - 1) for n in range(1, 7))
    script += "[image 7 layer=6 left=10 top=20]あ[l]\r\n[exit]\r\n"
    with open(os.path.join(tree, "Scenario", "fileNameList.txt"), "rb") as f:
        key = f.read().split(b"\r\n")[TOWER_SLOT].decode("cp932")
    with open(os.path.join(tree, key), "wb") as f:
        f.write(script.encode("cp932"))
    pack(tree, os.path.join(data, "ZRN.dat"))
    make_effect(os.path.join(data, "Sound", "click.wav"), 1000)
    make_effect(os.path.join(data, "Sound", "talk.wav"), 500)
    return data


def left_channel(path):
    with wave.open(path, "rb") as w:
        assert (w.getframerate(), w.getnchannels(), w.getsampwidth()) == (RATE, 2, 2)
        frames = w.readframes(w.getnframes())
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    return samples[0::2]


class RealWorldFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = build_game() if GAME_DIR else None

    def setUp(self):
        require_game_dir(self)

    def test_everything_loads_and_the_pictures_keep_their_sizes(self):
        r = run_play(self.data, 200, inputs=TOWER_CLICKS, states=(199,), audio=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        state = r.states[199]
        self.assertEqual(state["frameNo"], 231)
        self.assertEqual(state["scenario"]["current"], TOWER_SLOT)
        layers = state["scenario"]["layers"]
        for n in range(1, 8):
            width, height = picture_size(n)
            left, top = (10, 20) if n == 7 else (0, 0)
            self.assertEqual(layers[n - 1]["picture"], n)
            self.assertTrue(layers[n - 1]["visible"])
            self.assertEqual(layers[n - 1]["rect"], [left, top, left + width, top + height],
                             PICTURES[n - 1])

        # The same run without input differs from this one only by the effects: first the
        # click of the walk, a 1 kHz tone of 0.1 s at half of full scale.
        quiet = run_play(self.data, CLICK_FRAME + 20, audio=True)
        self.assertEqual(quiet.returncode, 0, quiet.stderr)
        clicked = left_channel(r.audio_path)
        plain = left_channel(quiet.audio_path)
        start = CLICK_FRAME * RATE // FPS
        window = RATE // 5
        self.assertEqual(clicked[:start], plain[:start])
        diff = [a - b for a, b in zip(clicked[start:start + window],
                                      plain[start:start + window])]
        sounding = [i for i, d in enumerate(diff) if abs(d) > 1000]
        self.assertTrue(sounding, "the click is not in the captured audio")
        self.assertGreater(max(abs(d) for d in diff), 14000)
        tone = diff[sounding[0]:sounding[0] + RATE // 10]
        crossings = sum(1 for a, b in zip(tone, tone[1:]) if (a < 0) != (b < 0))
        self.assertAlmostEqual(crossings, 200, delta=10)


if __name__ == "__main__":
    unittest.main()
