"""The message box in a real X window: the real game, started where it finds no data,
shows its first error in our own box, centred on the game window, with the Japanese
text drawn by the game's own font exactly as the game's text drawing draws it; Enter
closes it and the game goes on to its next box.

Run under Xvfb (the test command wraps it in xvfb-run); needs xdotool and ImageMagick.
"""
import os
import subprocess
import tempfile
import time
import unittest

from PIL import Image, ImageChops

TAVELLE = os.environ["TAVELLE"]
REFERENCE = os.environ["TAVELLE_TEXT_REFERENCE"]
FIRST_TEXT = "NowLoading.bmp の読み込み失敗"
TEXT_TOP, LINE_HEIGHT = 20, 22  # the box's first line and its height


def xdotool(*args):
    proc = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30)
    return proc.stdout.split() if proc.returncode == 0 else []


def wait_for(what, probe, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


def geometry(window):
    values = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window))
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def capture(window, path):
    subprocess.run(["import", "-window", window, path], check=True, timeout=30)
    return Image.open(path).convert("L")


class MessageBoxWindowTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tavelle-msgbox-")
        env = dict(os.environ)
        env.pop("SDL_VIDEODRIVER", None)  # the real X window, not the offscreen driver
        self.game = subprocess.Popen([TAVELLE], cwd=self.work, env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def tearDown(self):
        if self.game.poll() is None:
            self.game.kill()
        self.game.wait(timeout=30)
        self.game.stderr.close()

    def test_japanese_text_in_our_font_and_enter_closes_the_box(self):
        game = wait_for("the game window", lambda: xdotool("search", "--name", "^Tavelle ver"))[0]
        box = wait_for("the message box", lambda: xdotool("search", "--name", "^ERROR$"))[0]
        gx, gy, gw, gh = geometry(game)
        bx, by, bw, bh = geometry(box)
        self.assertAlmostEqual(bx + bw / 2, gx + gw / 2, delta=1)
        self.assertAlmostEqual(by + bh / 2, gy + gh / 2, delta=1)

        reference_path = os.path.join(self.work, "reference.ppm")
        ref_env = dict(os.environ, SDL_VIDEODRIVER="offscreen")
        subprocess.run([REFERENCE, FIRST_TEXT, reference_path], check=True, env=ref_env,
                       timeout=120)
        area = (0, TEXT_TOP, bw, TEXT_TOP + LINE_HEIGHT)
        reference = Image.open(reference_path).convert("L").crop(area)
        ink = sum(1 for v in reference.getdata() if v < 128)
        self.assertGreater(ink, 150, "the reference drew the text")

        # The box draws itself once it is mapped: wait until its text is there.
        def shown():
            text = capture(box, os.path.join(self.work, "box.png")).crop(area)
            return text if sum(1 for v in text.getdata() if v < 128) > 0 else None
        text = wait_for("the box's text", shown, seconds=10)
        difference = ImageChops.difference(text, reference)
        self.assertLessEqual(max(difference.getdata()), 2,
                             "the box's text differs from the game's text drawing")

        xdotool("key", "Return")
        wait_for("the box to close", lambda: box not in xdotool("search", "--name", "^ERROR$"),
                 seconds=20)
        # The game went on: its next failure (the archive is missing too) is the next box.
        wait_for("the next box", lambda: xdotool("search", "--name", "^Error$"))
        self.assertIsNone(self.game.poll())


if __name__ == "__main__":
    unittest.main()
