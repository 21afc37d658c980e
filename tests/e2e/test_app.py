"""The application core end to end: start-up frames, Escape, F1 reload, minimise."""
import os
import shutil
import unittest

from tavelle_e2e import GAME_DIR, pixel_close, require_game_dir, run_play, scratch_dir

GREY = (100, 100, 100)


class StartupFrames(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_loading_picture_then_grey_start_up_frame_then_field(self):
        r = run_play(GAME_DIR, 3, shots=(0, 1, 2), states=(0, 1, 2))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        self.assertEqual([r.states[k]["frameNo"] for k in (0, 1, 2)], [210, 251, 251])
        # The loading picture is not the clear colour; the start-up frame draws nothing.
        self.assertNotEqual(r.shots[0].getpixel((512, 384)), GREY)
        for xy in ((0, 0), (512, 384), (1023, 767)):
            self.assertTrue(pixel_close(r.shots[1].getpixel(xy), GREY, 1), xy)
        self.assertEqual(r.states[2]["field"]["map"], 1)

    def test_missing_loading_picture_is_reported_and_the_game_goes_on(self):
        data = scratch_dir("tavelle-noloading-")
        shutil.copytree(GAME_DIR, data, dirs_exist_ok=True)
        os.remove(os.path.join(data, "CG", "NowLoading.bmp"))
        r = run_play(data, 3, states=(2,))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn(("ERROR", "NowLoading.bmp の読み込み失敗"), r.messages())
        self.assertEqual(r.states[2]["frameNo"], 251)

    def test_missing_archive_leaves_the_index_empty_and_lookups_say_so(self):
        data = scratch_dir("tavelle-noarchive-")
        shutil.copytree(GAME_DIR, data, dirs_exist_ok=True)
        os.remove(os.path.join(data, "ZRN.dat"))
        r = run_play(data, 4, states=(3,))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.states[3]["frameNo"], 251)
        texts = [text for _, text in r.messages()]
        self.assertIn("結合ファイルNot Found", texts)


class Keys(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_escape_quits_from_the_loading_screen_and_the_field(self):
        for frame in (1, 30):
            r = run_play(GAME_DIR, 100, inputs="%d key ESCAPE\n" % frame,
                         states=(frame - 1, frame))
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertIn(frame - 1, r.states)
            self.assertNotIn(frame, r.states, "no frame runs after Escape")

    def test_escape_quits_from_a_scenario(self):
        # Walk to the tower square and click its marker: a scene starts there.
        clicks = "20 click 996 468\n80 click 719 468\n"
        r = run_play(GAME_DIR, 300, inputs=clicks + "200 key ESCAPE\n", states=(199, 200))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.states[199]["frameNo"], 231)
        self.assertNotIn(200, r.states)

    def test_f1_reloads_from_the_loading_screen_keeping_story_variables(self):
        r = run_play(GAME_DIR, 16, inputs="10 key F1\n", shots=(0, 11), states=(9, 10, 11, 15))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.states[10]["frameNo"], 200)
        self.assertEqual(r.states[11]["frameNo"], 210)
        self.assertEqual(r.states[15]["frameNo"], 251)
        self.assertEqual(r.states[15]["field"]["map"], 1)
        self.assertEqual(r.states[15]["vars"], r.states[9]["vars"])
        # Frame 11 shows the loading picture again.
        self.assertEqual(r.shots[11].getpixel((512, 384)), r.shots[0].getpixel((512, 384)))
        self.assertEqual(r.messages(), [])


class Minimise(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_minimised_window_runs_no_frames_and_restore_resumes(self):
        r = run_play(GAME_DIR, 40, inputs="10 minimize\n20 restore\n", states=(9, 12, 19, 20))
        self.assertEqual(r.returncode, 0, r.stderr)
        # The frame time is sampled only by frames that run.
        self.assertEqual(r.states[12]["time"], r.states[9]["time"])
        self.assertEqual(r.states[19]["time"], r.states[9]["time"])
        self.assertGreater(r.states[20]["time"], r.states[19]["time"])
        self.assertAlmostEqual(r.states[20]["time"], 1000.0 + 20 / 60.0, places=3)


if __name__ == "__main__":
    unittest.main()
