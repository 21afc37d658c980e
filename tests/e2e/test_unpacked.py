"""Playing the demo unpacked: the same input gives the same states and frames as the
packed archive, and F1 picks up a script saved while the game runs, in a folder or in a
ZRN.dat packed anew."""
import os
import shutil
import subprocess
import unittest

from tavelle_e2e import GAME_DIR, ZRN, require_game_dir, run_play, scratch_dir

# Walk to the square and click its marker: slot 10's scene starts.
TO_THE_SQUARE = "20 click 996 468\n80 click 719 468\n"


def unpack_demo():
    """The demo as an author would keep it: every archive file beside the loose ones."""
    folder = scratch_dir("tavelle-unpacked-")
    shutil.copytree(GAME_DIR, folder, dirs_exist_ok=True, ignore=shutil.ignore_patterns("ZRN.dat"))
    subprocess.run([ZRN, "unpack", os.path.join(GAME_DIR, "ZRN.dat"), folder], check=True,
                   capture_output=True)
    return folder


def script_of_slot(folder, slot):
    with open(os.path.join(folder, "Scenario", "fileNameList.txt"), "rb") as f:
        names = [n for n in f.read().split(b"\n") if n]
    return os.path.join(folder, names[slot][:-1].decode("cp932").lstrip("./"))


class Unpacked(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = unpack_demo() if GAME_DIR and os.path.exists(os.path.join(GAME_DIR, "ZRN.dat")) else None

    def setUp(self):
        require_game_dir(self)

    def test_folder_and_archive_play_alike(self):
        # A damaged ZRN.dat in the folder shows that --unpacked does not read it.
        folder = scratch_dir("tavelle-forced-")
        shutil.copytree(self.folder, folder, dirs_exist_ok=True)
        with open(os.path.join(folder, "ZRN.dat"), "wb") as f:
            f.write(b"\1\2")
        inputs = TO_THE_SQUARE + "230 click 512 600\n"
        frames = (2, 100, 229, 280)
        packed = run_play(GAME_DIR, 281, inputs=inputs, shots=frames, states=frames)
        unpacked = run_play(folder, 281, inputs=inputs, shots=frames, states=frames,
                            unpacked=True)
        for r in (packed, unpacked):
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.messages(), [])
        self.assertEqual(unpacked.states[229]["frameNo"], 231)
        for k in frames:
            self.assertEqual(unpacked.states[k], packed.states[k], k)
            self.assertEqual(unpacked.shots[k].tobytes(), packed.shots[k].tobytes(), k)

    def play_edit_and_reload(self, folder, saved, target):
        """Plays to slot 10's scene, saves `saved` over `target` in the folder, presses F1
        and plays to the scene again; returns the states before and after."""
        inputs = (TO_THE_SQUARE + "200 copy %s %s\n" % (saved, target) + "210 key F1\n"
                  + "240 click 996 468\n300 click 719 468\n")
        r = run_play(folder, 420, inputs=inputs, states=(199, 419), draw="shots")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        self.assertEqual(r.states[199]["scenario"]["current"], 10)
        self.assertNotIn("書き直した", r.states[199]["scenario"]["text"])
        self.assertEqual(r.states[419]["scenario"]["current"], 10)
        return r.states[419]

    def edited_script(self, folder):
        edited = os.path.join(folder, "edited.txt")
        with open(edited, "wb") as f:
            f.write("書き直した。[l][exit]\r\n".encode("cp932"))
        return edited

    def test_f1_after_an_edit_shows_the_new_text(self):
        folder = scratch_dir("tavelle-edit-")
        shutil.copytree(self.folder, folder, dirs_exist_ok=True)
        target = os.path.relpath(script_of_slot(folder, 10), folder)
        # No ZRN.dat and a scenario list: the folder is played unpacked by itself.
        state = self.play_edit_and_reload(folder, self.edited_script(folder), target)
        self.assertEqual(state["scenario"]["text"], "書き直した。")

    def test_f1_reads_a_zrn_dat_saved_while_the_game_runs(self):
        work = scratch_dir("tavelle-repack-")
        tree = os.path.join(work, "tree")
        shutil.copytree(self.folder, tree)
        shutil.copyfile(self.edited_script(work), script_of_slot(tree, 10))
        repacked = os.path.join(work, "ZRN.dat")
        subprocess.run([ZRN, "pack", repacked, "--root", tree], check=True, capture_output=True)
        game = os.path.join(work, "game")
        shutil.copytree(GAME_DIR, game)
        state = self.play_edit_and_reload(game, repacked, "ZRN.dat")
        self.assertEqual(state["scenario"]["text"], "書き直した。")


if __name__ == "__main__":
    unittest.main()
