"""The real tavelle on an X display with a window manager, driven by xdotool: it is
started on its data folder from elsewhere, walks the lead where the ground is
clicked, and after Alt+Enter fills the screen with black bars around the scaled
frame, where a click walks the lead to the same ground point as in the window."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import numpy as np
from PIL import Image

TAVELLE = os.path.join(os.environ.get("TAVELLE_BUILD_DIR", ""), "tavelle")
GAME_DIR = os.environ.get("TAVELLE_GAME_DIR", "")
SCREEN_W, SCREEN_H = 1600, 1000
TITLE = "Tavelle ver.1.03"

# Frame pixels of the demo's first map: where the lead starts, and a grass point
# it can walk to in a straight line (the grass left of the road). The field picks the
# ground 32 rows above the pointer.
START_CLICK = (820, 440)
TARGET_CLICK = (250, 560)
PICK_ROWS_ABOVE = 32
# Spots of the first map that never move: the blue house's roof and the path.
STATIC_PROBES = [(140, 230), (520, 200), (560, 700)]


def fit_frame(width, height):
    """Where the present step puts the 1024x768 frame in a drawable (linear mode)."""
    if width * 768 <= height * 1024:
        w, h = width, round(width * 768 / 1024)
    else:
        w, h = round(height * 1024 / 768), height
    return (width - w) // 2, (height - h) // 2, w, h


class Desktop:
    def __init__(self, work):
        self.work = work
        self.procs = []
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
             "-nolisten", "tcp"], pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        self.procs.append(xvfb)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("SDL_VIDEODRIVER", "WAYLAND_DISPLAY")}
        self.env["DISPLAY"] = ":" + number
        self.env["HOME"] = work
        self.procs.append(subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL))
        self.shots = 0

    def start(self, args, cwd):
        proc = subprocess.Popen(args, cwd=cwd, env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        self.procs.append(proc)
        return proc

    def run(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=60)

    def screenshot(self):
        self.shots += 1
        path = os.path.join(self.work, "screen%d.png" % self.shots)
        self.run("import", "-window", "root", path)
        return np.asarray(Image.open(path).convert("RGB")).astype(int)

    def window_geometry(self, window):
        info = self.run("xwininfo", "-id", window).stdout
        values = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.kill()
            proc.wait()


def crop_frame(screen, geometry):
    """The 1024x768 frame inside a window of the given screen geometry."""
    x, y, w, h = geometry
    fx, fy, fw, fh = fit_frame(w, h)
    picture = Image.fromarray(screen[y + fy:y + fy + fh, x + fx:x + fx + fw].astype(np.uint8))
    if (fw, fh) != (1024, 768):
        picture = picture.resize((1024, 768), Image.BILINEAR)
    return np.asarray(picture).astype(int)


def lead_box(frame, click):
    """Where the lead stands after walking to a click: its feet at the picked row."""
    x, y = click[0], click[1] - PICK_ROWS_ABOVE
    return frame[y - 70:y + 10, x - 25:x + 25]


def difference(a, b):
    return float(np.abs(a - b).mean())


class DesktopWindow(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tavelle-desktop-")
        self.desktop = Desktop(self.work)
        reference = os.path.join(self.work, "field.png")
        subprocess.run([os.environ["TAVELLE_PLAY"], "--data", GAME_DIR, "--frames", "40",
                        "--shot", "39:" + reference], check=True, capture_output=True, timeout=300)
        self.reference = np.asarray(Image.open(reference).convert("RGB")).astype(int)

    def tearDown(self):
        self.desktop.close()
        shutil.rmtree(self.work, ignore_errors=True)

    def wait_for_field(self, geometry):
        deadline = time.time() + 120
        while time.time() < deadline:
            frame = crop_frame(self.desktop.screenshot(), geometry)
            if all(np.abs(frame[y, x] - self.reference[y, x]).max() <= 12
                   for x, y in STATIC_PROBES):
                return
            time.sleep(0.5)
        self.fail("the field never appeared in the window")

    def click_and_walk(self, window, geometry, click):
        """Moves to a frame pixel, clicks, and returns the frames before and after the walk."""
        x, y, w, h = geometry
        fx, fy, fw, fh = fit_frame(w, h)
        sx = x + fx + (click[0] + 0.5) * fw / 1024
        sy = y + fy + (click[1] + 0.5) * fh / 768
        self.desktop.run("xdotool", "mousemove", str(int(sx)), str(int(sy)))
        time.sleep(1.0)
        before = crop_frame(self.desktop.screenshot(), geometry)
        self.desktop.run("xdotool", "click", "1")
        time.sleep(6.0)
        after = crop_frame(self.desktop.screenshot(), geometry)
        return before, after

    def wait_for_corner(self, geometry, corner, check):
        """The frame's corner once check(corner) holds, within ten seconds; else None."""
        deadline = time.time() + 10
        while time.time() < deadline:
            seen = crop_frame(self.desktop.screenshot(), geometry)[corner]
            if check(seen):
                return seen
            time.sleep(0.2)
        return None

    def test_window_click_walks_and_fullscreen_click_walks_to_the_same_point(self):
        game = self.desktop.start([TAVELLE, GAME_DIR], cwd=self.work)
        found = self.desktop.run("xdotool", "search", "--sync", "--name", TITLE)
        window = found.stdout.split()[0]
        self.desktop.run("xdotool", "windowactivate", "--sync", window)
        windowed = self.desktop.window_geometry(window)
        self.assertEqual(windowed[2:], (1024, 768), "1x is the largest multiple that fits")
        self.wait_for_field(windowed)

        before, in_window = self.click_and_walk(window, windowed, TARGET_CLICK)
        arrived = difference(lead_box(before, TARGET_CLICK), lead_box(in_window, TARGET_CLICK))
        left = difference(lead_box(before, START_CLICK), lead_box(in_window, START_CLICK))
        self.assertGreater(arrived, 4.0, "the lead came to the clicked ground")
        self.assertGreater(left, 4.0, "the lead left where it started")

        # F12 saves the frame as a picture and says so in the frame's top right corner
        # for about two seconds.
        corner = (slice(14, 56), slice(600, 1010))
        plain = crop_frame(self.desktop.screenshot(), windowed)[corner]
        self.desktop.run("xdotool", "key", "F12")
        noted = self.wait_for_corner(windowed, corner, lambda c: difference(plain, c) > 8.0)
        self.assertIsNotNone(noted, "the note shows in the corner")
        pictures = os.path.join(self.work, "Pictures", "Tavelle")
        self.assertEqual(len(os.listdir(pictures)), 1, "one picture saved")
        gone = self.wait_for_corner(windowed, corner, lambda c: difference(plain, c) < 2.0)
        self.assertIsNotNone(gone, "the note went")

        self.desktop.run("xdotool", "key", "alt+Return")
        time.sleep(2.0)
        full = self.desktop.window_geometry(window)
        self.assertEqual(full, (0, 0, SCREEN_W, SCREEN_H))
        screen = self.desktop.screenshot()
        fx, fy, fw, fh = fit_frame(SCREEN_W, SCREEN_H)
        self.assertGreater(fx, 100)
        self.assertEqual(int(screen[:, :fx - 1].max()), 0, "the left bar is black")
        self.assertEqual(int(screen[:, fx + fw + 1:].max()), 0, "the right bar is black")

        # Back to the start and again to the target, through the scaled picture: the
        # lead arrives from the same side and stands where it stood in the window.
        self.click_and_walk(window, full, START_CLICK)
        away, in_full = self.click_and_walk(window, full, TARGET_CLICK)
        self.assertGreater(difference(lead_box(away, TARGET_CLICK), lead_box(in_full, TARGET_CLICK)),
                           4.0)
        # Compared where the lead's own pixels were in the window, so that the ground
        # around it, the same either way, does not hide a lead standing elsewhere.
        lead = np.abs(lead_box(before, TARGET_CLICK) - lead_box(in_window, TARGET_CLICK)).sum(2) > 60
        self.assertGreater(lead.sum(), 100)
        was_ground = np.abs(lead_box(before, TARGET_CLICK) - lead_box(in_window, TARGET_CLICK))[lead]
        same = np.abs(lead_box(in_full, TARGET_CLICK) - lead_box(in_window, TARGET_CLICK))[lead]
        self.assertLess(same.mean(), was_ground.mean() / 3, "the lead stands on the same ground point")

        self.desktop.run("xdotool", "key", "Escape")
        out, err = game.communicate(timeout=60)
        self.assertEqual(game.returncode, 0)
        picture = os.path.join(pictures, os.listdir(pictures)[0])
        self.assertEqual(err.decode(), "tavelle: screenshot saved as %s\n" % picture)

    def game_window(self):
        deadline = time.time() + 60
        while time.time() < deadline:
            found = self.desktop.run("xdotool", "search", "--name", TITLE).stdout.split()
            if found:
                return found[0]
            time.sleep(0.2)
        self.fail("the game window never appeared")

    def close_boxes_with_the_mouse(self, game, window, count):
        """Closes the game's next `count` message boxes by clicking their OK buttons, each
        gone before the next is looked for."""
        closed = []
        deadline = time.time() + 120
        while len(closed) < count and time.time() < deadline:
            shown = self.desktop.run("xdotool", "search", "--onlyvisible", "--pid",
                                     str(game.pid)).stdout.split()
            boxes = [w for w in shown if w != window and w not in closed]
            if not boxes:
                time.sleep(0.2)
                continue
            x, y, w, h = self.desktop.window_geometry(boxes[0])
            # The OK button sits centred, 15 pixels above the box's bottom edge.
            self.desktop.run("xdotool", "mousemove", str(x + w // 2), str(y + h - 29))
            self.desktop.run("xdotool", "click", "1")
            while time.time() < deadline and boxes[0] in self.desktop.run(
                    "xdotool", "search", "--onlyvisible", "--pid", str(game.pid)).stdout.split():
                time.sleep(0.2)
            closed.append(boxes[0])
        self.assertEqual(len(closed), count, "the boxes that showed and were closed")

    def test_clicks_walk_after_the_boxes_of_a_failing_sound_device_are_closed(self):
        # A sound device is there but cannot be opened (the disk driver's file cannot be
        # created): the start-up says so in its five boxes, closed with the mouse.
        self.desktop.env.update(SDL_AUDIODRIVER="disk",
                                SDL_DISKAUDIOFILE="/nonexistent-folder/audio.raw")
        game = self.desktop.start([TAVELLE, GAME_DIR], cwd=self.work)
        window = self.game_window()
        self.close_boxes_with_the_mouse(game, window, 5)
        geometry = self.desktop.window_geometry(window)
        self.wait_for_field(geometry)

        before, after = self.click_and_walk(window, geometry, TARGET_CLICK)
        self.assertGreater(difference(lead_box(before, TARGET_CLICK), lead_box(after, TARGET_CLICK)),
                           4.0, "the lead came to the clicked ground")

        self.desktop.run("xdotool", "key", "Escape")
        _, err = game.communicate(timeout=60)
        self.assertEqual(game.returncode, 0)
        self.assertEqual(err.decode().count("MESSAGE "), 0, "every box showed in the window")

    def test_with_no_sound_device_and_when_muted_no_box_shows(self):
        # No audio driver can start: no device at all. The game says so in one line,
        # shows no box, and takes clicks at once. Muted, it opens no device, so even the
        # disk driver's file is never written.
        raw = os.path.join(self.work, "audio.raw")
        cases = [({"SDL_AUDIODRIVER": "no-such-audio-driver"}, [],
                  "tavelle: no audio output device; playing silently until one appears\n"),
                 ({"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": raw}, ["--mute"], "")]
        for env, args, said in cases:
            self.desktop.env.update(env)
            game = self.desktop.start([TAVELLE, GAME_DIR, *args], cwd=self.work)
            window = self.game_window()
            geometry = self.desktop.window_geometry(window)
            self.wait_for_field(geometry)
            shown = self.desktop.run("xdotool", "search", "--onlyvisible", "--pid",
                                     str(game.pid)).stdout.split()
            self.assertEqual(shown, [window], "only the game's window shows")
            before, after = self.click_and_walk(window, geometry, TARGET_CLICK)
            self.assertGreater(
                difference(lead_box(before, TARGET_CLICK), lead_box(after, TARGET_CLICK)), 4.0)
            self.desktop.run("xdotool", "key", "Escape")
            _, err = game.communicate(timeout=60)
            self.assertEqual((game.returncode, err.decode()), (0, said), args)
        self.assertFalse(os.path.exists(raw), "a muted game opened the sound device")


if __name__ == "__main__":
    unittest.main()
