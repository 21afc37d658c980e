"""The start-up asset set over a demo archive with one bitmap taken out or spoilt."""
import os
import struct
import shutil
import subprocess
import unittest

from tavelle_e2e import GAME_DIR, ZRN, pack, require_game_dir, run_play, scratch_dir


def data_without(key_path, replacement=None):
    """A copy of the demo data whose archive lacks one entry (a path below the root), or
    holds the replacement bytes in its place."""
    work = scratch_dir("tavelle-assets-")
    tree = os.path.join(work, "tree")
    subprocess.run([ZRN, "unpack", os.path.join(GAME_DIR, "ZRN.dat"), tree], check=True,
                   capture_output=True)
    os.remove(os.path.join(tree, key_path))
    if replacement is not None:
        with open(os.path.join(tree, key_path), "wb") as f:
            f.write(replacement)
    data = os.path.join(work, "data")
    shutil.copytree(GAME_DIR, data)
    pack(tree, os.path.join(data, "ZRN.dat"))
    return data


MISSING_KEY = [("Error", "結合ファイルNot Found"), ("Error", "分割ファイルNot Found"),
               ("Error", "結合ファイルデータNot Found")]


class MissingBitmap(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_loading_stops_at_the_missing_picture_with_one_message(self):
        r = run_play(data_without("CG/end.bmp"), 4, states=(3,))
        self.assertEqual(r.returncode, 0, r.stderr)
        # The archive's size query and read say what they lack, then the loader which
        # picture failed.
        self.assertEqual(r.messages(), MISSING_KEY + [("ERROR", "end.bmp の読み込み失敗")])
        self.assertEqual(r.states[3]["frameNo"], 251)

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
        r = run_play(data_without("X/textback.bmp", bomb), 4, states=(3,))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages()[:1], [("ERROR", "textback.bmp の読み込み失敗")])
        # The start-up load ends and the game goes on.
        self.assertEqual(r.states[3]["frameNo"], 251)


if __name__ == "__main__":
    unittest.main()
