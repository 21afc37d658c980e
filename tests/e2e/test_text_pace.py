"""Text at the player's pace: Space passes a click wait but never a choice, Ctrl skips
only pages read before (remembered beside the saves), Ctrl+Shift runs to the next
choice, A lets the pages turn by themselves, and the backlog shows earlier pages
without letting clicks through, closed by Escape without quitting."""
import os
import subprocess
import unittest

from tavelle_e2e import GAME_DIR, ZRN, require_game_dir, run_play, scratch_dir

# The square's marker scene starts near frame 66 and waits for the first click
# near frame 88, with 44 bytes drawn.
START = "20 clickat 24 15\n60 clickat 22 13\n"
FIRST_WAIT_POS = 44
# Clicks on the same spot read the scene to its end (back in the field by frame 360).
READ_ALL = START + "".join("%d clickat 22 13\n" % k for k in range(70, 400, 6))
STARTER_MARKER = (512, 294)


class TextPace(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)
        self.saves = scratch_dir("tavelle-pace-")

    def play(self, inputs, frames, states=(), shots=(), game=None, unpacked=False):
        r = run_play(game or GAME_DIR, frames, inputs=inputs, states=states, shots=shots,
                     unpacked=unpacked, draw="shots" if not shots else "all",
                     options=("--save-dir", self.saves))
        self.assertEqual(r.returncode, 0, r.stderr)
        return r

    def test_space_and_enter_pass_a_click_wait(self):
        for key in (None, "SPACE", "RETURN"):
            with self.subTest(key=key):
                inputs = START + ("120 key %s\n" % key if key else "")
                scenario = self.play(inputs, 151, states=(150,)).states[150]["scenario"]
                if key:
                    self.assertGreater(scenario["messagePos"], FIRST_WAIT_POS)
                else:
                    self.assertEqual(scenario["messagePos"], FIRST_WAIT_POS)
                    self.assertFalse(scenario["clickLatch"])

    def test_space_never_takes_a_choice(self):
        folder = os.path.join(scratch_dir("tavelle-pace-game-"), "game")
        subprocess.run([ZRN, "new", folder], check=True, capture_output=True, timeout=120)
        inputs = "20 click %d %d\n200 click %d %d\n340 click %d %d\n" % (STARTER_MARKER * 3)
        r = self.play(inputs + "380 key SPACE\n385 key RETURN\n", 400, states=(379, 399),
                      game=folder, unpacked=True)
        self.assertTrue(r.states[379]["scenario"]["selectWait"])
        self.assertEqual(r.states[399]["scenario"], r.states[379]["scenario"])

    def test_ctrl_skips_read_pages_only(self):
        hold = START + "70 keydown LCONTROL\n"
        unread = self.play(hold, 151, states=(150,)).states[150]
        self.assertEqual((unread["frameNo"], unread["scenario"]["messagePos"]), (231, FIRST_WAIT_POS))
        self.play(READ_ALL, 400)
        read = self.play(hold, 151, states=(150,)).states[150]
        self.assertEqual(read["frameNo"], 251, "the read scene was not skipped to its end")
        self.assertEqual(read["vars"], self.play(READ_ALL, 400, states=(399,)).states[399]["vars"])

    def test_ctrl_shift_runs_to_the_next_choice_and_stops(self):
        folder = os.path.join(scratch_dir("tavelle-pace-game-"), "game")
        subprocess.run([ZRN, "new", folder], check=True, capture_output=True, timeout=120)
        inputs = "20 click %d %d\n30 keydown LCONTROL\n30 keydown LSHIFT\n" % STARTER_MARKER
        r = self.play(inputs, 121, states=(120,), game=folder, unpacked=True)
        scenario = r.states[120]["scenario"]
        self.assertTrue(scenario["selectWait"])
        self.assertEqual(sum(l["present"] for l in scenario["links"]), 2)

    def test_a_turns_on_the_automatic_advance(self):
        for toggles, moves in ((["100"], True), (["100", "110"], False), ([], False)):
            with self.subTest(toggles=toggles):
                inputs = START + "".join("%s key A\n" % k for k in toggles)
                scenario = self.play(inputs, 301, states=(300,)).states[300]["scenario"]
                moved = scenario["messagePos"] != FIRST_WAIT_POS or scenario["clickLatch"]
                self.assertEqual(moved, moves)

    def test_backlog_holds_the_page_and_escape_only_closes_it(self):
        inputs = READ_ALL + "200 key PRIOR\n240 key ESCAPE\n"
        r = self.play(inputs, 280, states=(199, 238, 279), shots=(199, 238))
        self.assertEqual(r.states[238]["scenario"]["messagePos"],
                         r.states[199]["scenario"]["messagePos"], "clicks reached the page")
        self.assertEqual(r.states[279]["frameNo"], 231, "Escape quit instead of closing")
        self.assertNotEqual(r.states[279]["scenario"]["messagePos"],
                            r.states[238]["scenario"]["messagePos"])
        # The backlog darkens the whole frame, the field's corner too.
        before, during = r.shots[199].getpixel((1000, 700)), r.shots[238].getpixel((1000, 700))
        self.assertLess(sum(during), sum(before) - 90)

    def test_the_wheel_page_keys_right_click_and_backspace_open_and_close_the_backlog(self):
        opens = ("200 key PRIOR\n", "200 wheel 1\n")
        closes = ("210 down right\n212 up right\n", "210 key BACK\n", "210 wheel -1\n")
        for open_, close in ((o, c) for o in opens for c in closes):
            with self.subTest(open=open_, close=close):
                # The clicks read past the first page, so that the backlog has one.
                clicks = "".join("%d clickat 22 13\n" % k for k in range(70, 190, 6))
                inputs = START + clicks + open_ + close
                r = self.play(inputs, 230, shots=(199, 205, 229))
                self.assertNotEqual(r.shots[199].getpixel((1000, 700)),
                                    r.shots[205].getpixel((1000, 700)), "the backlog did not open")
                self.assertNotEqual(r.shots[205].getpixel((1000, 700)),
                                    r.shots[229].getpixel((1000, 700)))


if __name__ == "__main__":
    unittest.main()
