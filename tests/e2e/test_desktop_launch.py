"""Starting tavelle as a player does: the data folder named on the command line, data
copied from a case-blind disc, and no display at all."""
import os
import shutil
import subprocess
import tempfile
import unittest

from tavelle_e2e import GAME_DIR, PLAY, require_game_dir, run_play

TAVELLE = os.path.join(os.environ.get("TAVELLE_BUILD_DIR", ""), "tavelle")
NO_DISPLAY = "no display (DISPLAY/WAYLAND_DISPLAY unset or unreachable)\n"


def run_tavelle(args, env_changes, cwd):
    env = {k: v for k, v in os.environ.items()
           if k not in ("SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY")}
    env.update(env_changes)
    return subprocess.run([TAVELLE] + args, cwd=cwd, env=env, capture_output=True, text=True,
                          timeout=60)


class Launch(unittest.TestCase):
    def setUp(self):
        require_game_dir(self)
        self.elsewhere = tempfile.mkdtemp(prefix="tavelle-launch-")

    def tearDown(self):
        shutil.rmtree(self.elsewhere, ignore_errors=True)

    def test_no_display_is_one_line_and_exit_one(self):
        for env in ({}, {"DISPLAY": ":99999"}):
            r = run_tavelle([GAME_DIR], env, self.elsewhere)
            self.assertEqual((r.returncode, r.stdout, r.stderr), (1, "", NO_DISPLAY), env)

    def test_a_start_up_that_fails_exits_one_with_its_lines(self):
        # The display is there, but its GL stops short of 3.3: no device can be made.
        no_device = {"SDL_VIDEODRIVER": "offscreen", "MESA_GL_VERSION_OVERRIDE": "3.2"}
        # Mesa loads its driver inside SDL's context creation and, when that fails, unloads
        # it there too: the driver's own leak then has no library name to be told from
        # the game's by. In these two processes alone, the leak check is off; every
        # other run keeps it, the game's own start-up and shutdown among them.
        if "address" in os.environ.get("TAVELLE_SANITIZERS", ""):
            no_device["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        device_box = "MESSAGE ERROR: DirectXデバイス生成失敗"
        cases = [
            ([TAVELLE, GAME_DIR],
             "tavelle: the game could not start (no window or no OpenGL 3.3 device)"),
            ([PLAY, "--data", GAME_DIR, "--frames", "5"], "tavelle-play: the game could not start"),
        ]
        for args, line in cases:
            r = subprocess.run(args, cwd=self.elsewhere, env=dict(os.environ, **no_device),
                               capture_output=True, text=True, timeout=60)
            self.assertEqual(r.returncode, 1, r.stderr)
            self.assertEqual(r.stderr.splitlines()[-2:], [device_box, line])

    def test_bad_command_lines_stop_before_any_window(self):
        os.mkdir(os.path.join(self.elsewhere, "empty"))
        cases = [
            (["--frobnicate"], 2, "tavelle: unknown option --frobnicate"),
            ([GAME_DIR, "--fps", "fast"], 2, "tavelle: --fps needs N, got 'fast'"),
            (["missing"], 1, "tavelle: cannot use missing: No such file or directory"),
            (["empty"], 1, "tavelle: no game in empty (no ZRN.dat there)"),
        ]
        for args, code, line in cases:
            # A display that cannot be reached: a window would fail differently.
            r = run_tavelle(args, {"DISPLAY": ":99999"}, self.elsewhere)
            self.assertEqual(r.returncode, code, args)
            self.assertEqual(r.stderr.splitlines()[0], line)
            if code == 1:
                self.assertEqual(r.stderr, line + "\n")

    def test_the_readme_shows_the_help_as_the_program_prints_it(self):
        r = run_tavelle(["--help"], {}, self.elsewhere)
        self.assertEqual(r.returncode, 0)
        readme_path = os.path.join(os.environ["TAVELLE_SOURCE_DIR"], "README.md")
        with open(readme_path, encoding="utf-8") as f:
            readme = f.read()
        start = readme.index("usage: tavelle ")
        end = readme.index("\n```", start)
        self.assertEqual(readme[start:end + 1], r.stdout)

    def test_data_copied_from_a_case_blind_disc_is_found(self):
        data = os.path.join(self.elsewhere, "disc")
        shutil.copytree(GAME_DIR, data)
        renames = [("ZRN.dat", "zrn.DAT"), ("CG/NowLoading.bmp", "CG/nowloading.BMP"),
                   ("CG", "cg"), ("Sound/normal.ogg", "Sound/Normal.OGG"),
                   ("Sound/click.wav", "Sound/CLICK.wav"), ("Sound", "SOUND")]
        for old, new in renames:
            os.rename(os.path.join(data, old), os.path.join(data, new))
        # A click in the field plays the click effect.
        r = run_play(data, 90, inputs="60 click 300 500\n", states=(89,), shots=(0,))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.messages(), [])
        state = r.states[89]
        self.assertEqual(state["field"]["map"], 1)
        self.assertTrue(state["music"]["playing"][0])
        self.assertNotEqual(r.shots[0].getpixel((512, 384)), (100, 100, 100))


if __name__ == "__main__":
    unittest.main()
