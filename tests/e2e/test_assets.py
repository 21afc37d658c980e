"""The start-up asset set over a demo archive with one bitmap taken out."""
import os
import shutil
import subprocess
import unittest

from tavelle_e2e import GAME_DIR, ZRN, pack, require_game_dir, run_play, scratch_dir


def data_without(key_path):
    """A copy of the demo data whose archive lacks one entry (a path below the root)."""
    work = scratch_dir("tavelle-assets-")
    tree = os.path.join(work, "tree")
    subprocess.run([ZRN, "unpack", os.path.join(GAME_DIR, "ZRN.dat"), tree], check=True,
                   capture_output=True)
    os.remove(os.path.join(tree, key_path))
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


if __name__ == "__main__":
    unittest.main()
