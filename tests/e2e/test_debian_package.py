#!/usr/bin/env python3
"""The Debian package: cpack builds it from the install rules, dpkg-deb unpacks it, and
what is inside is checked the way a system would use it: the programs run from the
unpacked tree and play the demo data installed beside them, the menu entry names the
program and the icon, every icon size is there at its size, the manual pages are
well-formed, appstreamcli accepts the metadata and lintian finds no error."""
import glob
import json
import os
import subprocess
import unittest

from PIL import Image

from tavelle_e2e import require_game_dir, scratch_dir

BUILD = os.environ.get("TAVELLE_BUILD_DIR", "")
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
MAN_PAGES = ("man6/tavelle.6.gz", "man1/zrn.1.gz", "man1/tavelle-play.1.gz")


def Run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=900, **kwargs)


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        work = scratch_dir("tavelle-deb-")
        made = Run(["cpack", "-G", "DEB", "-B", work, "--config", os.path.join(BUILD, "CPackConfig.cmake")],
                   cwd=BUILD)
        cls.made = made
        debs = glob.glob(os.path.join(work, "*.deb"))
        cls.deb = debs[0] if len(debs) == 1 else None
        cls.root = os.path.join(work, "root")
        if cls.deb:
            subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True)

    def setUp(self):
        require_game_dir(self)
        self.assertIsNotNone(self.deb, self.made.stdout + self.made.stderr)

    def Path(self, *parts):
        return os.path.join(self.root, "usr", *parts)

    def test_control_names_the_package_and_its_libraries(self):
        fields = Run(["dpkg-deb", "-f", self.deb, "Package", "Version", "Section", "Depends"]).stdout
        self.assertIn("Package: tavelle\n", fields)
        self.assertRegex(fields, r"Version: [0-9.]+-1\n")
        # dpkg-shlibdeps found the libraries the programs link, and the font is asked for.
        for library in ("libsdl2-2.0-0", "libvorbisfile3", "libfreetype6", "fonts-ipafont-gothic"):
            self.assertIn(library, fields)

    def test_the_unpacked_driver_plays_the_installed_demo(self):
        work = scratch_dir("tavelle-deb-play-")
        data = self.Path("share", "tavelle")
        state = os.path.join(work, "state.json")
        shot = os.path.join(work, "field.png")
        # Through the loading screen into the village, then a click on the square's marker.
        script = os.path.join(work, "input.txt")
        with open(script, "w", encoding="utf-8") as f:
            f.write("60 clickat 22 13\n")
        played = Run([self.Path("bin", "tavelle-play"), "--data", data, "--frames", "200", "--input", script,
                      "--state", "199:" + state, "--shot", "50:" + shot, "--draw", "shots"])
        self.assertEqual(played.returncode, 0, played.stderr)
        self.assertNotIn("MESSAGE", played.stderr)
        with open(state, encoding="utf-8") as f:
            s = json.load(f)
        self.assertEqual(s["field"]["map"], 1)
        self.assertEqual(s["frameNo"], 231, "the square's scene did not start")
        self.assertEqual(s["scenario"]["current"], 10)
        # The village is drawn: the frame is not one flat colour.
        colours = Image.open(shot).convert("RGB").getcolors(1 << 20)
        self.assertGreater(len(colours), 1000)
        for program in ("tavelle", "zrn", "tavelle-play"):
            with self.subTest(program):
                ran = Run([self.Path("bin", program), "--help"])
                self.assertEqual(ran.returncode, 0, ran.stderr)
                self.assertIn("usage", ran.stdout.lower())

    def test_menu_entry_and_icons(self):
        with open(self.Path("share", "applications", "tavelle.desktop"), encoding="utf-8") as f:
            entry = dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)
        self.assertEqual(entry["Exec"], "tavelle")
        self.assertEqual(entry["Icon"], "tavelle")
        self.assertTrue(os.access(self.Path("bin", "tavelle"), os.X_OK))
        for size in ICON_SIZES:
            with self.subTest(size=size):
                icon = Image.open(self.Path("share", "icons", "hicolor", "%dx%d" % (size, size), "apps", "tavelle.png"))
                self.assertEqual(icon.size, (size, size))
                self.assertEqual(icon.mode, "RGBA")
                # Transparent outside the rounded corners, opaque in the middle.
                self.assertEqual(icon.getpixel((0, 0))[3], 0)
                self.assertEqual(icon.getpixel((size // 2, size // 2))[3], 255)

    def test_manual_pages_are_well_formed(self):
        for page in MAN_PAGES:
            with self.subTest(page):
                shown = Run(["man", "--warnings", "-l", self.Path("share", "man", page)],
                            env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
                self.assertEqual(shown.returncode, 0, shown.stderr)
                self.assertEqual(shown.stderr, "")
                self.assertIn("SYNOPSIS", shown.stdout)
                self.assertNotIn("@TAVELLE_VERSION@", shown.stdout)

    def test_appstream_metadata_is_accepted(self):
        [path] = glob.glob(self.Path("share", "metainfo", "*.metainfo.xml"))
        checked = Run(["appstreamcli", "validate", "--no-net", path])
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        self.assertIn("<launchable type=\"desktop-id\">tavelle.desktop</launchable>", text)
        self.assertNotIn("@", text)

    def test_lintian_finds_no_error(self):
        checked = Run(["lintian", "--no-cfg", "--fail-on", "error", self.deb])
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertNotRegex(checked.stdout, r"(?m)^E: ")


if __name__ == "__main__":
    unittest.main()
