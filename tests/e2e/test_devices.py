"""Devices and windows that come and go: the audio device lost and back, focus,
minimise, close during the start-up load, and F1 held over many frames."""
import os
import sys
import unittest
import wave
from concurrent.futures import ThreadPoolExecutor

from PIL import Image, ImageChops

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import golden_frames  # noqa: E402
from tavelle_e2e import GAME_DIR, require_game_dir, run_play  # noqa: E402


def play(*args, **kwargs):
    """A run that checks states and sound, not pixels: only its shots are rasterised."""
    return run_play(*args, draw="shots", **kwargs)

SAMPLES_PER_FRAME = 44100 // 60  # stereo frames the driver mixes per game frame at 60 fps


def frames_of_audio(path):
    with wave.open(path, "rb") as w:
        data = w.readframes(w.getnframes())
    return data


def audio_slice(data, first_frame, last_frame):
    """The PCM bytes mixed during game frames first_frame..last_frame - 1."""
    size = SAMPLES_PER_FRAME * 4
    return data[first_frame * size:last_frame * size]


def silent(pcm):
    return pcm.count(0) == len(pcm)


class AudioDevice(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_lost_device_goes_silent_and_music_goes_on_where_it_stopped(self):
        with ThreadPoolExecutor(max_workers=2) as pool:
            plain, lost = pool.map(lambda inputs: play(
                GAME_DIR, 460, inputs=inputs, states=(299, 459), audio=True),
                ("", "100 audio-lost\n300 audio-back\n"))
        for r in (plain, lost):
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.messages(), [])
        reference = frames_of_audio(plain.audio_path)
        audio = frames_of_audio(lost.audio_path)
        self.assertFalse(silent(audio_slice(reference, 100, 160)))
        self.assertTrue(silent(audio_slice(audio, 100, 300)))
        # Back on the same channel, from the very sample where the device went away.
        self.assertEqual(audio_slice(audio, 300, 460), audio_slice(reference, 100, 260))
        for frame in (299, 459):
            music = lost.states[frame]["music"]
            self.assertEqual(music["channel"], 0)
            self.assertTrue(music["playing"][0])
            self.assertEqual(lost.states[frame]["frameNo"], 251)

    def test_no_device_at_start_plays_silently_until_one_appears_then_the_music_starts(self):
        with ThreadPoolExecutor(max_workers=2) as pool:
            plain, absent = pool.map(lambda run: play(
                GAME_DIR, 400, inputs=run[0], states=(239,), audio=True, options=run[1]),
                (("", ()), ("240 audio-back\n", ("--audio-device", "absent"))))
        self.assertEqual(plain.stderr, "")
        self.assertEqual(absent.returncode, 0, absent.stderr)
        self.assertEqual(absent.messages(), [])
        self.assertEqual(absent.stderr,
                         "tavelle: no audio output device; playing silently until one appears\n")
        music = absent.states[239]["music"]
        self.assertTrue(music["playing"][0], "the game plays its music, silently")
        reference = frames_of_audio(plain.audio_path)
        audio = frames_of_audio(absent.audio_path)
        # The music starts on the device from its first sample, as it started in the
        # run that had a device from the start.
        def first_sound(pcm):
            return next(k for k in range(400) if not silent(audio_slice(pcm, k, k + 1)))
        started, resumed = first_sound(reference), first_sound(audio)
        self.assertLess(started, 240 - 150)
        self.assertIn(resumed, range(240, 250))
        self.assertEqual(audio_slice(audio, resumed, resumed + 150),
                         audio_slice(reference, started, started + 150))

    def test_a_reload_finds_the_device_again(self):
        r = play(GAME_DIR, 400, inputs="100 audio-lost\n200 key F1\n",
                     states=(199, 399), audio=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        audio = frames_of_audio(r.audio_path)
        self.assertTrue(silent(audio_slice(audio, 100, 200)))
        self.assertFalse(silent(audio_slice(audio, 210, 400)))
        self.assertTrue(r.states[399]["music"]["playing"][0])

    def test_device_lost_before_the_load_and_never_back(self):
        r = play(GAME_DIR, 200, inputs="0 audio-lost\n150 key ESCAPE\n",
                     states=(149,), audio=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.states[149]["frameNo"], 251)
        self.assertNotIn(150, r.states)


class Windows(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)

    def test_close_during_the_start_up_load_ends_cleanly(self):
        # Frame 1 is the long start-up load; a close arriving while it runs is read after it.
        for frame in (1, 2):
            r = play(GAME_DIR, 50, inputs="%d close\n" % frame, states=(frame - 1, frame))
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertIn(frame - 1, r.states)
            self.assertNotIn(frame, r.states)

    def test_f1_on_twenty_frames_in_a_row_then_play_on_and_escape(self):
        inputs = "".join("%d key F1\n" % k for k in range(60, 80))
        inputs += "100 focus-lost\n130 focus-gained\n140 minimize\n170 restore\n"
        inputs += "400 key ESCAPE\n"
        r = play(GAME_DIR, 600, inputs=inputs, states=(79, 399), audio=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        self.assertEqual(r.states[399]["frameNo"], 251)
        self.assertEqual(r.states[399]["field"]["map"], 1)
        self.assertTrue(r.states[399]["music"]["playing"][0])
        self.assertNotIn("tavelle-play:", r.stderr)

    def test_minimise_during_a_scenario_pauses_it_where_it_was(self):
        # Walk to the tower square and click its marker: a scene starts there; the
        # window goes away in the middle of it and comes back.
        clicks = "20 click 996 468\n80 click 719 468\n"
        r = play(GAME_DIR, 400, inputs=clicks + "200 minimize\n260 restore\n",
                     states=(199, 259, 260, 399))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        self.assertEqual(r.states[199]["frameNo"], 231)
        self.assertEqual(r.states[259]["scenario"], r.states[199]["scenario"])
        self.assertEqual(r.states[259]["time"], r.states[199]["time"])
        self.assertGreater(r.states[260]["time"], r.states[259]["time"])
        self.assertIn(r.states[399]["frameNo"], (231, 251))

    def test_minimise_during_a_fade_holds_it_and_it_ends_on_the_next_map(self):
        # The golden story's walk to the forest gate, whose fade is halfway at frame 1260;
        # the window is away for 45 frames from 1255, so the midpoint comes 45 frames late.
        away, back = 1255, 1300
        midpoint = next(frame for frame, name in golden_frames.STORY_FRAMES.items()
                        if name == "fade-midpoint") + back - away
        walk = [line for line in golden_frames.StoryInput().splitlines()
                if int(line.split()[0]) < away]
        inputs = "\n".join(walk) + "\n%d minimize\n%d restore\n" % (away, back)
        r = play(GAME_DIR, 1520, inputs=inputs, states=(away - 1, back - 1, 1519),
                 shots=(midpoint,))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        held, resumed = (r.states[k]["field"]["fade"] for k in (away - 1, back - 1))
        self.assertTrue(held["active"])
        self.assertEqual(resumed, held)
        golden = Image.open(os.path.join(golden_frames.GOLDEN_DIR, "fade-midpoint-float.png"))
        difference = ImageChops.difference(r.shots[midpoint], golden.convert("RGB"))
        self.assertLessEqual(max(high for _, high in difference.getextrema()), 1)
        self.assertFalse(r.states[1519]["field"]["fade"]["active"])
        self.assertEqual(r.states[1519]["field"]["map"], 2)


if __name__ == "__main__":
    unittest.main()
