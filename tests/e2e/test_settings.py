"""Settings that stay: the F10 overlay changes them at once and keeps them in
settings.ini; a damaged file gives the defaults and is rewritten only on a change;
while the overlay is open the game gets no clicks, and Escape only closes it."""
import os
import unittest

from tavelle_e2e import GAME_DIR, require_game_dir, run_play, scratch_dir

START = "20 clickat 24 15\n60 clickat 22 13\n"
# Down to the music volume and one step down; down to the text speed and one up.
CHANGES = ("10 key F10\n12 key DOWN\n14 key DOWN\n16 key LEFT\n"
           "18 key DOWN\n20 key DOWN\n22 key DOWN\n24 key RIGHT\n")


class Settings(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)
        self.config = scratch_dir("tavelle-config-")
        self.ini = os.path.join(self.config, "settings.ini")

    def play(self, inputs, frames, states=(), shots=(), config=True):
        extra = ("--config-dir", self.config) if config else ()
        r = run_play(GAME_DIR, frames, inputs=inputs, states=states, shots=shots,
                     draw="all" if shots else "shots",
                     options=extra + ("--save-dir", scratch_dir("tavelle-saves-")))
        self.assertEqual(r.returncode, 0, r.stderr)
        return r

    def read_ini(self):
        with open(self.ini, encoding="utf-8") as f:
            return dict(line.split(" = ") for line in f.read().splitlines() if " = " in line)

    def test_changes_are_kept_and_take_effect(self):
        r = self.play(CHANGES + "30 key F10\n", 40, shots=(9, 26, 39))
        ini = self.read_ini()
        self.assertEqual((ini["music_volume"], ini["text_speed"]), ("90", "faster"))
        # The panel shows in the middle of the frame while it is open, and then goes.
        middle = (512, 384)
        self.assertNotEqual(r.shots[26].getpixel(middle), r.shots[9].getpixel(middle))
        self.assertEqual(r.shots[39].getpixel(middle), r.shots[9].getpixel(middle))
        # The next run reads them: the scene's text runs faster.
        faster = self.play(START, 76, states=(75,)).states[75]["scenario"]["messagePos"]
        normal = self.play(START, 76, states=(75,), config=False).states[75]["scenario"]["messagePos"]
        self.assertGreater(faster, normal)

    def test_a_damaged_file_gives_defaults_and_stays_until_a_change(self):
        with open(self.ini, "w", encoding="utf-8") as f:
            f.write("text_speed = instant\nmusic_volume = loud\n")
        r = self.play(START, 76, states=(75,))
        lines = [l for l in r.stderr.splitlines() if l.startswith("tavelle:")]
        self.assertEqual(len(lines), 1, r.stderr)
        self.assertIn("defaults used", lines[0])
        normal = self.play(START, 76, states=(75,), config=False)
        self.assertEqual(r.states[75]["scenario"], normal.states[75]["scenario"])
        with open(self.ini, encoding="utf-8") as f:
            self.assertEqual(f.read(), "text_speed = instant\nmusic_volume = loud\n")
        self.play("10 key F10\n12 key DOWN\n14 key DOWN\n16 key LEFT\n", 20)
        ini = self.read_ini()
        self.assertEqual((ini["music_volume"], ini["text_speed"]), ("90", "normal"))

    def test_the_open_overlay_takes_the_clicks_and_escape_closes_it(self):
        # A click on the ground beside the panel.
        walk = "20 click 100 700\n"
        free = self.play(walk, 41, states=(40,)).states[40]["field"]["lead"]
        held = self.play("10 key F10\n" + walk + "30 key ESCAPE\n", 41, states=(40,)).states[40]
        self.assertNotEqual(free["target"], held["field"]["lead"]["target"])
        self.assertEqual(held["field"]["lead"]["state"], 0)
        self.assertEqual(held["frame"], 40, "Escape quit the game")
        self.assertFalse(os.path.exists(self.ini), "nothing was changed, yet the file was written")


if __name__ == "__main__":
    unittest.main()
