#!/usr/bin/env python3
"""The driver itself: the audio capture is the same from run to run, whatever audio
driver the machine has, and the click's sound starts on the frame that takes the press; a
click aimed at a ground point lands there through the game's own camera, and one aimed off
the screen fails the run; a signal from outside ends a run as a signal, not as a quit of
the game."""
import os
import shutil
import signal
import subprocess
import sys
import unittest
from concurrent.futures import ThreadPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tavelle_e2e import GAME_DIR, PLAY, require_game_dir, run_play  # noqa: E402

SAMPLES_PER_FRAME = 44100 // 60  # stereo frames the driver mixes per game frame at 60 fps
WAV_HEADER = 44
CLICK_FRAME = 120
CLICK_EFFECT = 0  # the effect slot of the click


def pcm_of_frames(wav, first, last):
    """The 16-bit stereo PCM mixed during game frames first..last - 1."""
    size = SAMPLES_PER_FRAME * 4
    return wav[WAV_HEADER + first * size:WAV_HEADER + last * size]


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class AudioCapture(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_same_script_same_bytes_and_the_click_sounds_on_its_frame(self):
        click = "%d click 600 600\n" % CLICK_FRAME
        states = (CLICK_FRAME, CLICK_FRAME + 1)
        with ThreadPoolExecutor(max_workers=2) as pool:
            first, second, quiet = pool.map(
                lambda inputs: run_play(GAME_DIR, 160, inputs=inputs, audio=True, states=states,
                                         draw="shots"),
                (click, click, "# no click\n"))
        for r in (first, second, quiet):
            self.addCleanup(shutil.rmtree, r.work, True)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.messages(), [])
        audio = read_bytes(first.audio_path)
        self.assertEqual(len(audio), WAV_HEADER + 160 * SAMPLES_PER_FRAME * 4)
        self.assertTrue(audio == read_bytes(second.audio_path), "two runs of one script differ")
        # In the field the pointer is latched after the walk is updated, so the press
        # is taken, and the click effect started, on the frame after it arrives.
        self.assertEqual(first.states[CLICK_FRAME]["effectPlays"][CLICK_EFFECT], 0)
        self.assertEqual(first.states[CLICK_FRAME + 1]["effectPlays"][CLICK_EFFECT], 1)
        self.assertEqual(quiet.states[CLICK_FRAME + 1]["effectPlays"][CLICK_EFFECT], 0)
        taken = CLICK_FRAME + 1
        reference = read_bytes(quiet.audio_path)
        self.assertTrue(any(pcm_of_frames(reference, 0, taken)), "no music before the click")
        self.assertTrue(pcm_of_frames(audio, 0, taken) == pcm_of_frames(reference, 0, taken),
                        "the capture differs before the click")
        self.assertTrue(pcm_of_frames(audio, taken, taken + 1) !=
                        pcm_of_frames(reference, taken, taken + 1),
                        "the click is not heard on the frame that takes it")

    def test_the_machine_s_audio_driver_plays_no_part(self):
        # The driver pumps the mixer itself and never opens an audio device: no audio
        # driver, not even one that cannot start (ALSA with no sound card), changes a run.
        drivers = ("dummy", "alsa", "no-such-audio-driver")
        with ThreadPoolExecutor(max_workers=2) as pool:
            runs = list(pool.map(lambda driver: run_play(
                GAME_DIR, 120, inputs="60 click 600 600\n", audio=True, draw="shots",
                env={"SDL_AUDIODRIVER": driver}), drivers))
        for driver, r in zip(drivers, runs):
            self.addCleanup(shutil.rmtree, r.work, True)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stderr, "", driver)
            self.assertTrue(read_bytes(r.audio_path) == read_bytes(runs[0].audio_path), driver)


class ClickAt(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_the_field_picks_the_ground_point_aimed_at(self):
        # Points near and far on map 1, away from its markers.
        points = [(24.0, 15.0), (17.5, 13.0), (16.5, 21.0), (16.5, 14.5)]
        inputs = "".join("%d clickat %g %g\n" % (40 + 40 * k, x, z) for k, (x, z) in enumerate(points))
        frames = [40 + 40 * k for k in range(len(points))]
        r = run_play(GAME_DIR, frames[-1] + 1, inputs=inputs, states=frames, draw="shots")
        self.addCleanup(shutil.rmtree, r.work, True)
        self.assertEqual(r.returncode, 0, r.stderr)
        for frame, (x, z) in zip(frames, points):
            state = r.states[frame]
            self.assertEqual(state["frameNo"], 251)
            pick = state["field"]["pick"]
            # Within the ground a pixel covers at that distance.
            self.assertAlmostEqual(pick[0], x, delta=0.06, msg="frame %d" % frame)
            self.assertAlmostEqual(pick[2], z, delta=0.06, msg="frame %d" % frame)

    def test_a_point_off_the_screen_fails_the_run_with_its_frame(self):
        r = run_play(GAME_DIR, 60, inputs="40 clickat 500 -500\n", states=(59,), draw="shots")
        self.addCleanup(shutil.rmtree, r.work, True)
        self.assertEqual(r.returncode, 1)
        self.assertIn("tavelle-play: frame 40: the ground point 500, -500 is not on the screen",
                      r.stderr)
        self.assertIn(59, r.states)


class Signals(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_a_signal_ends_the_run_as_a_signal_not_as_a_quit_of_the_game(self):
        # Cut short from outside, the run must not pass for one the game ended (exit 0).
        proc = subprocess.Popen([PLAY, "--data", GAME_DIR, "--frames", "1000000", "--draw",
                                 "shots", "--stats-every", "10"], stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True)
        try:
            self.assertTrue(proc.stdout.readline().startswith("frame 10: "))
            proc.send_signal(signal.SIGTERM)
            proc.stdout.read()
            self.assertEqual(proc.wait(timeout=120), -signal.SIGTERM)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()


if __name__ == "__main__":
    unittest.main()
