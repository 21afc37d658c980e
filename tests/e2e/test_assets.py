"""The start-up asset set over a demo archive with one bitmap taken out or broken: the
load goes on past it, and a console line names the file and the reason."""
import io
import os
import struct
import shutil
import subprocess
import unittest

from PIL import Image

from tavelle_e2e import GAME_DIR, ZRN, pack, pixel_close, require_game_dir, run_play, scratch_dir


def data_with(key_path, content):
    """A copy of the demo data whose archive holds content for one entry (a path below
    the root), or lacks it when content is None."""
    work = scratch_dir("tavelle-assets-")
    tree = os.path.join(work, "tree")
    subprocess.run([ZRN, "unpack", os.path.join(GAME_DIR, "ZRN.dat"), tree], check=True,
                   capture_output=True)
    path = os.path.join(tree, key_path)
    if content is None:
        os.remove(path)
    else:
        with open(path, "wb") as f:
            f.write(content)
    data = os.path.join(work, "data")
    shutil.copytree(GAME_DIR, data)
    pack(tree, os.path.join(data, "ZRN.dat"))
    return data


def data_without(key_path):
    return data_with(key_path, None)


def png_bytes(size):
    out = io.BytesIO()
    Image.new("RGB", size, (200, 40, 40)).save(out, format="PNG")
    return out.getvalue()


MISSING_KEY = [("Error", "結合ファイルNot Found"), ("Error", "分割ファイルNot Found"),
               ("Error", "結合ファイルデータNot Found")]


class MissingBitmap(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_a_missing_picture_shows_its_message_and_names_its_key(self):
        r = run_play(data_without("CG/end.bmp"), 4, states=(3,))
        self.assertEqual(r.returncode, 0, r.stderr)
        # The archive's size query and read say what they lack, then the loader which
        # picture failed; the console names the key.
        self.assertEqual(r.messages(), MISSING_KEY + [("ERROR", "end.bmp の読み込み失敗")])
        self.assertIn("tavelle: ./CG/end.bmp: missing from the archive", r.stderr)
        self.assertEqual(r.states[3]["frameNo"], 251)

    def test_the_load_goes_on_past_a_broken_first_bitmap(self):
        # A PNG saved under the first texture's name: only its own slot stays empty.
        # That texture is never drawn, so the field must look exactly as with the real
        # file: the ground textured, the fog and the markers drawn.
        frames = (60,)
        broken = run_play(data_with("X/textback.bmp", png_bytes((64, 64))), 61, shots=frames)
        sound = run_play(GAME_DIR, 61, shots=frames)
        self.assertEqual(broken.messages(), [("ERROR", "textback.bmp の読み込み失敗")])
        self.assertIn("tavelle: ./X/textback.bmp: a PNG file, not a bitmap", broken.stderr)
        self.assertEqual(sound.messages(), [])
        a, b = broken.shots[60], sound.shots[60]
        differing = sum(1 for p, q in zip(a.getdata(), b.getdata()) if not pixel_close(p, q, 2))
        self.assertEqual(differing, 0)

    def test_a_missing_sheet_names_the_character(self):
        r = run_play(data_without("X/pendel.bmp"), 3)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), MISSING_KEY + [("ERROR", "pendel.bmp の読み込み失敗")])


def rle8_bitmap(width, height, stream):
    """An 8-bit run-length BMP with a two-colour palette."""
    palette = b"\x00\x00\x00\x00\xff\xff\xff\x00"
    offset = 14 + 40 + len(palette)
    header = b"BM" + struct.pack("<IHHI", offset + len(stream), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, 0, 2835, 2835, 2, 0)
    return header + info + palette + stream


class OversizeBitmap(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_a_tiny_file_declaring_a_huge_picture_is_refused_with_its_message(self):
        # 64 bytes that claim 8192 × 8192 pixels: the stream ends at once, so all but
        # nothing would be transparent, yet 256 MiB of texels would be made for it.
        bomb = rle8_bitmap(8192, 8192, b"\x00\x01")
        self.assertEqual(len(bomb), 64)
        r = run_play(data_with("X/textback.bmp", bomb), 4, states=(3,))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages()[:1], [("ERROR", "textback.bmp の読み込み失敗")])
        # The start-up load ends and the game goes on.
        self.assertEqual(r.states[3]["frameNo"], 251)


if __name__ == "__main__":
    unittest.main()
