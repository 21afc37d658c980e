"""The message box in a real X window, on the real game: the demo data with every
script missing from its archive, so that the start-up load shows the archive's
messages once per script. Each box is our own, centred on the game window, with the
Japanese text drawn by the game's own font exactly as the game's text drawing draws it;
Enter closes it. Each message shows three times, then once with the number held back,
and the game goes on without more boxes.

Run under Xvfb (the test command wraps it in xvfb-run); needs xdotool.
"""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

from PIL import Image, ImageChops, ImageGrab

TAVELLE = os.environ["TAVELLE"]
PLAY = os.environ["TAVELLE_PLAY"]
ZRN = os.environ["TAVELLE_ZRN"]
GAME_DIR = os.environ["TAVELLE_GAME_DIR"]
REFERENCE = os.environ["TAVELLE_TEXT_REFERENCE"]
CAPTION = "Error"
TEXT_TOP, LINE_HEIGHT = 20, 22  # the box's first line and the line pitch


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


def dark_pixels(image):
    return sum(1 for v in image.getdata() if v < 128)


def make_game_without_scripts(work):
    """The demo data, its archive holding the script list but none of the scripts."""
    unpacked = os.path.join(work, "unpacked")
    subprocess.run([ZRN, "unpack", os.path.join(GAME_DIR, "ZRN.dat"), unpacked], check=True,
                   capture_output=True)
    scenario = os.path.join(unpacked, "Scenario")
    for name in os.listdir(scenario):
        if name != "fileNameList.txt":
            os.remove(os.path.join(scenario, name))
    game = os.path.join(work, "game")
    os.mkdir(game)
    subprocess.run([ZRN, "pack", os.path.join(game, "ZRN.dat"), "--root", unpacked],
                   check=True, capture_output=True)
    for loose in ("CG", "Sound"):
        shutil.copytree(os.path.join(GAME_DIR, loose), os.path.join(game, loose))
    return game


def capped(messages):
    """The boxes the window shows for one operation's messages: each three times, then
    one per message with the number held back."""
    counts = {}
    shown = []
    for message in messages:
        counts[message] = counts.get(message, 0) + 1
        if counts[message] <= 3:
            shown.append(message)
    for (caption, text), n in counts.items():
        if n > 3:
            shown.append((caption, text + "\n…（同じメッセージがさらに %d 件）" % (n - 3)))
    return shown


def headless_messages(game):
    proc = subprocess.run([PLAY, "--data", game, "--frames", "3"], capture_output=True,
                          timeout=300, env=dict(os.environ, SDL_VIDEODRIVER="offscreen"))
    out = []
    for line in proc.stderr.decode("utf-8").splitlines():
        if line.startswith("MESSAGE "):
            caption, _, text = line[len("MESSAGE "):].partition(": ")
            out.append((caption, text))
    return out


class MessageBoxWindowTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tavelle-msgbox-")
        self.game_dir = make_game_without_scripts(self.work)
        self.messages = headless_messages(self.game_dir)
        self.references = {}
        env = dict(os.environ)
        env.pop("SDL_VIDEODRIVER", None)  # the real X window, not the offscreen driver
        self.game = subprocess.Popen([TAVELLE], cwd=self.game_dir, env=env,
                                     stdout=subprocess.DEVNULL)

    def tearDown(self):
        if self.game.poll() is None:
            self.game.kill()
        self.game.wait(timeout=30)
        shutil.rmtree(self.work, ignore_errors=True)

    def reference_line(self, text, width):
        """The text as the game's own text drawing draws it, where the box's line starts."""
        if text in self.references:
            return self.references[text].crop((0, 0, width, LINE_HEIGHT))
        path = os.path.join(self.work, "reference.ppm")
        subprocess.run([REFERENCE, text, path], check=True, timeout=120,
                       env=dict(os.environ, SDL_VIDEODRIVER="offscreen"))
        line = Image.open(path).convert("L").crop((0, TEXT_TOP, width, TEXT_TOP + LINE_HEIGHT))
        self.assertGreater(dark_pixels(line), 100, "the reference drew " + text)
        self.references[text] = Image.open(path).convert("L").crop(
            (0, TEXT_TOP, 1024, TEXT_TOP + LINE_HEIGHT))
        return line

    def next_box(self, seen):
        """The next box, once it is on the screen with the keyboard focus."""
        def new_box():
            return [w for w in xdotool("search", "--name", "^%s$" % CAPTION) if w not in seen]
        box = wait_for("box %d" % (len(seen) + 1), new_box)[0]
        seen.add(box)
        wait_for("box %d to take the focus" % len(seen),
                 lambda: xdotool("getwindowfocus") == [box], seconds=20)
        return box

    def assert_box_text(self, box, lines, seconds=20):
        """The box's lines match the game's drawing of them. A window shows whatever was
        under it until its picture arrives, so the screen is read until it does."""
        x, y, w, h = geometry(box)
        deadline = time.monotonic() + seconds
        while True:
            image = ImageGrab.grab(bbox=(x, y, x + w, y + h),
                                   xdisplay=os.environ["DISPLAY"]).convert("L")
            worst = 0
            for i, text in enumerate(lines):
                top = TEXT_TOP + i * LINE_HEIGHT
                shown = image.crop((0, top, w, top + LINE_HEIGHT))
                difference = ImageChops.difference(shown, self.reference_line(text, w))
                worst = max(worst, max(difference.getdata()))
            if worst <= 2:
                return
            if time.monotonic() > deadline:
                self.fail("the box's text differs from the game's drawing of %r by up to %d"
                          % (lines, worst))
            time.sleep(0.1)

    def close(self, box):
        xdotool("key", "Return")
        wait_for("the box to close", lambda: box not in xdotool("search", "--name", "."),
                 seconds=20)

    def test_boxes_of_a_flood_are_readable_capped_and_closed_by_enter(self):
        self.assertTrue(self.messages)
        self.assertEqual({caption for caption, _ in self.messages}, {CAPTION})
        boxes = capped(self.messages)
        self.assertLess(len(boxes), len(self.messages), "the fixture floods")

        game = wait_for("the game window", lambda: xdotool("search", "--name", "^Tavelle ver"))[0]
        seen = set()
        for i, (_, text) in enumerate(boxes):
            box = self.next_box(seen)
            if i == 0:
                gx, gy, gw, gh = geometry(game)
                bx, by, bw, bh = geometry(box)
                self.assertAlmostEqual(bx + bw / 2, gx + gw / 2, delta=1)
                self.assertAlmostEqual(by + bh / 2, gy + gh / 2, delta=1)
            self.assert_box_text(box, text.split("\n"))
            self.close(box)
        # The game goes on into the field without another box.
        time.sleep(3)
        self.assertEqual([w for w in xdotool("search", "--name", "^%s$" % CAPTION)
                          if w not in seen], [])
        self.assertIsNone(self.game.poll())


class UncaptionedBoxTest(unittest.TestCase):
    """The box for a missing Ogg file has an empty caption: its window is titled with the
    program's name, not left to the window manager's stand-in."""

    def test_a_box_without_a_caption_is_titled_with_the_programs_name(self):
        work = tempfile.mkdtemp(prefix="tavelle-caption-")
        self.addCleanup(shutil.rmtree, work, True)
        game_dir = os.path.join(work, "game")
        shutil.copytree(GAME_DIR, game_dir)
        os.remove(os.path.join(game_dir, "Sound", "korvath.ogg"))
        self.assertIn(("", "OGGファイルの参照に失敗"), headless_messages(game_dir))
        env = dict(os.environ)
        env.pop("SDL_VIDEODRIVER", None)
        game = subprocess.Popen([TAVELLE, game_dir], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            box = wait_for("the box titled Tavelle",
                           lambda: xdotool("search", "--name", "^Tavelle$"))[0]
            # The title is what this test is about: the box is given the focus rather than
            # waited for, which a busy server may take long to settle.
            xdotool("windowfocus", "--sync", str(box))
            xdotool("key", "Return")
            wait_for("the box to close", lambda: box not in xdotool("search", "--name", "."),
                     seconds=20)
            self.assertIsNone(game.poll())
        finally:
            game.kill()
            game.wait(timeout=30)


class QuitWhileTheStartUpShowsBoxesTest(unittest.TestCase):
    """With an audio device that fails to open the start-up shows two boxes, one after the
    other. The system asking the game to end while the first shows closes it, and the
    second, which would hold the game until clicked, goes to stderr: the game ends at
    once, cleanly."""

    def test_a_quit_during_the_first_box_ends_the_game(self):
        # The disk driver's one device, whose file cannot be created.
        env = dict(os.environ, SDL_AUDIODRIVER="disk",
                   SDL_DISKAUDIOFILE="/nonexistent-folder/audio.raw")
        env.pop("SDL_VIDEODRIVER", None)
        game = subprocess.Popen([TAVELLE, GAME_DIR], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        try:
            wait_for("the first box", lambda: xdotool("search", "--name", "^ERROR$"))
            game.terminate()  # SDL turns it into a quit, as a session's end does
            _, err = game.communicate(timeout=120)
        finally:
            if game.poll() is None:
                game.kill()
                game.wait(timeout=30)
        self.assertEqual(game.returncode, 0)
        self.assertIn("MESSAGE : DirectSoundの初期化に失敗", err.decode("utf-8").splitlines())


if __name__ == "__main__":
    unittest.main()
