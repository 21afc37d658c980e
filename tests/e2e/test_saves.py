"""Saves: F5 and F9 over the moments a player can save at, in one process and across
two; the automatic save on leaving; and the saves that are refused."""
import copy
import glob
import os
import subprocess
import unittest

from tavelle_e2e import GAME_DIR, ZRN, require_game_dir, run_play, scratch_dir

# The demo: a walk, the square's marker scene read with clicks, and the walk to the
# forest's exit (the inputs of the golden state trace, then the exit).
DEMO_INPUTS = ("20 clickat 24 15\n60 clickat 22 13\n"
               + "".join("%d clickat 22 13\n" % k for k in range(70, 400, 6))
               + "420 clickat 16.5 14.5\n480 clickat 16.5 21\n560 clickat 17 23.2\n")
# The starter game of 'zrn new': its marker asks which tune to play, and the dark one
# switches the music.
STARTER_MARKER = (512, 294)
STARTER_INPUTS = ("20 click %d %d\n200 click %d %d\n340 click %d %d\n" % (STARTER_MARKER * 3)
                  + "400 move 60 220\n401 down\n404 up\n")

# A load asked for at frame L has put the saved records in place after frame L + 2
# (L + 1 shows the loading picture, L + 2 is the start-up load).
LOAD_FRAMES = 2


def comparable(state):
    """The state without what only counts time or this run: the clocks, the message
    boxes and the effect plays since the program started."""
    state = copy.deepcopy(state)
    for key in ("frame", "time", "messages", "effectPlays"):
        state.pop(key, None)
    return state


def starter_game():
    folder = os.path.join(scratch_dir("tavelle-saves-"), "game")
    subprocess.run([ZRN, "new", folder], check=True, capture_output=True, timeout=120)
    return folder


class Saves(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.starter = starter_game()

    def setUp(self):
        require_game_dir(self)
        self.saves = scratch_dir("tavelle-save-dir-")

    def play(self, game, frames, inputs, states, unpacked=False, saves=None):
        return run_play(game, frames, inputs=inputs, states=states, unpacked=unpacked,
                        draw="shots", options=("--save-dir", saves or self.saves))

    MOMENTS = [
        # name, starter game?, save frame, what the saved state must show
        ("field", False, 10, lambda s: s["frameNo"] == 251 and s["field"]["lead"]["state"] == 0),
        ("walking", False, 30, lambda s: s["field"]["lead"]["state"] == 2),
        ("mid-page", False, 99, lambda s: s["frameNo"] == 231 and s["scenario"]["clickLatch"]
         and s["scenario"]["messagePos"] > 0),
        ("click wait", False, 159, lambda s: s["frameNo"] == 231
         and not s["scenario"]["clickLatch"]),
        ("fade", False, 640, lambda s: s["field"]["fade"]["active"]),
        ("choice", True, 380, lambda s: s["scenario"]["selectWait"]
         and sum(l["present"] for l in s["scenario"]["links"]) == 2),
        ("music switched", True, 440, lambda s: s["music"]["channel"] == 2
         and s["music"]["playing"][2]),
    ]

    def test_a_load_gives_the_state_at_saving(self):
        for name, starter, frame, shows in self.MOMENTS:
            with self.subTest(moment=name):
                game = self.starter if starter else GAME_DIR
                inputs = STARTER_INPUTS if starter else DEMO_INPUTS
                saves = scratch_dir("tavelle-save-dir-")
                later = frame + 37
                r = self.play(game, later + LOAD_FRAMES + 1,
                              inputs + "%d key F5\n%d key F9\n" % (frame, later),
                              (frame, later + LOAD_FRAMES), unpacked=starter, saves=saves)
                self.assertEqual(r.returncode, 0, r.stderr)
                saved = r.states[frame]
                self.assertTrue(shows(saved), "the save at frame %d is not at the %s" % (frame, name))
                self.assertEqual(comparable(r.states[later + LOAD_FRAMES]), comparable(saved))
                # A second process, started afresh, loads the same save.
                again = self.play(game, 10, "5 key F9\n", (5 + LOAD_FRAMES,), unpacked=starter,
                                  saves=saves)
                self.assertEqual(again.returncode, 0, again.stderr)
                self.assertEqual(comparable(again.states[5 + LOAD_FRAMES]), comparable(saved))

    def test_leaving_writes_the_automatic_save_that_f9_continues(self):
        for leave in ("key ESCAPE", "close"):
            with self.subTest(leave=leave):
                saves = scratch_dir("tavelle-save-dir-")
                r = self.play(GAME_DIR, 200, DEMO_INPUTS + "99 %s\n" % leave, (98,), saves=saves)
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertEqual([os.path.basename(p) for p in glob.glob(saves + "/*/*.sav")],
                                 ["auto.sav"])
                again = self.play(GAME_DIR, 10, "5 key F9\n", (5 + LOAD_FRAMES,), saves=saves)
                after = comparable(again.states[5 + LOAD_FRAMES])
                self.assertEqual(after["scenario"], comparable(r.states[98])["scenario"])

    def test_f5_keeps_the_previous_save_as_a_backup(self):
        r = self.play(GAME_DIR, 40, DEMO_INPUTS + "10 key F5\n30 key F5\n", ())
        self.assertEqual(r.returncode, 0, r.stderr)
        [folder] = glob.glob(self.saves + "/*")
        self.assertEqual(sorted(os.listdir(folder)), ["quick.sav", "quick.sav.bak"])

    def refused(self, change):
        """Saves at frame 10, changes the file, and loads it at frame 30: the game must go
        on with the state it had and say why on stderr, and the file stays as it was."""
        r = self.play(GAME_DIR, 12, DEMO_INPUTS + "10 key F5\n", ())
        self.assertEqual(r.returncode, 0, r.stderr)
        [path] = glob.glob(self.saves + "/*/quick.sav")
        with open(path, "rb") as f:
            data = bytearray(f.read())
        data = change(data)
        with open(path, "wb") as f:
            f.write(data)
        r = self.play(GAME_DIR, 40, DEMO_INPUTS + "30 key F9\n", (29, 33))
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(path, "rb") as f:
            self.assertEqual(f.read(), bytes(data))
        before, after = comparable(r.states[29]), comparable(r.states[33])
        self.assertEqual(after["frameNo"], 251, "the refused save started a reload")
        self.assertNotEqual(before["field"]["lead"], {}, "no state")
        return [l for l in r.stderr.splitlines() if l.startswith("tavelle:")]

    def test_refused_saves_say_why_and_leave_the_game_and_the_file_alone(self):
        def version(d):
            d[8] += 1
            return d

        def reseal(d):
            import zlib
            body = bytes(d[:-4])
            return bytearray(body + zlib.crc32(body).to_bytes(4, "little"))

        cases = [
            ("cut short", lambda d: d[: len(d) // 2], "the file is damaged"),
            ("a flipped bit", lambda d: d[:100] + bytearray([d[100] ^ 4]) + d[101:],
             "the file is damaged"),
            ("newer format", lambda d: reseal(version(d)), "made by a newer version"),
            ("another game", lambda d: reseal(d[:12] + bytearray([d[12] ^ 1]) + d[13:]),
             "it belongs to another game"),
            ("changed game", lambda d: reseal(d[:20] + bytearray([d[20] ^ 1]) + d[21:]),
             "the game has changed since"),
        ]
        for name, change, why in cases:
            with self.subTest(case=name):
                self.saves = scratch_dir("tavelle-save-dir-")
                lines = self.refused(change)
                self.assertEqual(len(lines), 1, lines)
                self.assertIn("Save not loaded: " + why, lines[0])

    def test_a_save_folder_that_cannot_be_written_is_noted_and_play_goes_on(self):
        blocker = os.path.join(self.saves, "file")
        with open(blocker, "w") as f:
            f.write("not a folder")
        r = self.play(GAME_DIR, 40, DEMO_INPUTS + "10 key F5\n", (39,), saves=blocker)
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = [l for l in r.stderr.splitlines() if l.startswith("tavelle:")]
        self.assertEqual(len(lines), 1, r.stderr)
        self.assertIn("not saved", lines[0])
        self.assertEqual(r.states[39]["frameNo"], 251)

    def test_notes_show_in_the_corner(self):
        r = run_play(GAME_DIR, 20, inputs="10 key F5\n", shots=(9, 12),
                     options=("--save-dir", self.saves))
        self.assertEqual(r.returncode, 0, r.stderr)
        corner = (960, 12, 1012, 57)
        before = r.shots[9].crop(corner)
        after = r.shots[12].crop(corner)
        self.assertNotEqual(list(before.getdata()), list(after.getdata()))


if __name__ == "__main__":
    unittest.main()
