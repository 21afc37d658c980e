"""zrn from the command line: pack -> list -> cat -> unpack round trip on a tree with
Shift-JIS names, refusals, and verify on broken archives."""

import json
import os
import struct
import subprocess
import tempfile
import unittest

ZRN = os.environ.get("TAVELLE_ZRN", "zrn")

# Raising to 1141 undoes the game's raising to 61 modulo the prime 6961.
BYTE_WORDS = [pow(b, 1141, 6961) for b in range(256)]


def encode(data):
    return b"".join(struct.pack("<I", BYTE_WORDS[b]) for b in data)


def raw_archive(entries, count=None, data=()):
    """entries: (name bytes, size, offset words); data: (offset words, bytes)."""
    image = bytearray(encode(struct.pack("<I", len(entries) if count is None else count)))
    for name, size, offset in entries:
        image += encode(name.ljust(128, b"\0")[:128] + struct.pack("<II", size, offset))
    for offset, content in data:
        stored = encode(content)
        image += bytes(max(0, 4 * offset + len(stored) - len(image)))
        image[4 * offset:4 * offset + len(stored)] = stored
    return bytes(image)


def table_words(n):
    return 4 + 136 * n


def zrn(*args):
    return subprocess.run([ZRN, *args], capture_output=True, timeout=60)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


# File names in UTF-8, as authors write them; their keys are Shift-JIS, one of them
# ("表") with 0x5C, the backslash, as its second byte.
TREE = {
    "Scenario/fileNameList.txt".encode(): b"test.txt\r\n",
    "Scenario/テスト.txt".encode(): "テスト[l]".encode("cp932"),
    "X/表.bmp".encode(): bytes(range(256)) * 3,
    b"Data/map1base.dat": b"",
    b"a": b"first",
}


def key_of(name):
    return b"./" + name.decode().encode("cp932")


def tree_files(root):
    found = {}
    for directory, _, names in os.walk(os.fsencode(root)):
        for name in names:
            path = os.path.join(directory, name)
            found[os.path.relpath(path, os.fsencode(root))] = read(path)
    return found


class ZrnTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = os.fsencode(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, *parts):
        return os.path.join(self.dir, *[os.fsencode(p) for p in parts])

    def make_tree(self, name, files):
        root = self.path(name)
        os.makedirs(root, exist_ok=True)
        for relative, data in files.items():
            write(os.path.join(root, relative), data)
        return root

    def test_round_trip(self):
        root = self.make_tree("tree", TREE)
        archive = self.path("out", "ZRN.dat")
        os.makedirs(os.path.dirname(archive))
        result = zrn("pack", archive, "--root", root)
        self.assertEqual(result.returncode, 0, result.stderr)

        # Byte-identical when packed again, whatever the directory order.
        again = self.path("again.dat")
        self.assertEqual(zrn("pack", again, "--root", root).returncode, 0)
        self.assertEqual(read(archive), read(again))

        listing = zrn("list", archive)
        self.assertEqual(listing.returncode, 0, listing.stderr)
        rows = [line.split(None, 2) for line in listing.stdout.split(b"\n") if line]
        data_of = {key_of(name): data for name, data in TREE.items()}
        self.assertEqual([row[2] for row in rows], sorted(data_of))
        for size, position, key in rows:
            self.assertEqual(int(size), len(data_of[key]))
            self.assertEqual(int(position) % 4, 0)

        for key, data in data_of.items():
            shown = zrn("cat", archive, key)
            self.assertEqual(shown.returncode, 0, shown.stderr)
            self.assertEqual(shown.stdout, data)

        out_dir = self.path("unpacked")
        result = zrn("unpack", archive, out_dir)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(tree_files(out_dir), TREE)

        # Folder mode serves the unpacked folder under the keys the archive has.
        listing = zrn("list", out_dir)
        self.assertEqual(listing.returncode, 0, listing.stderr)
        self.assertEqual(sorted(line.split(None, 2)[2] for line in listing.stdout.split(b"\n") if line),
                         sorted(data_of))
        for key, data in data_of.items():
            shown = zrn("cat", out_dir, key)
            self.assertEqual((shown.returncode, shown.stdout), (0, data), shown.stderr)

        result = zrn("verify", archive)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"ok, 5 entries", result.stdout)

    def test_pack_leaves_out_its_own_output(self):
        root = self.make_tree("tree", {b"a": b"x"})
        archive = os.path.join(root, b"ZRN.dat")
        for _ in range(2):
            self.assertEqual(zrn("pack", archive, "--root", root).returncode, 0)
        self.assertEqual(zrn("list", archive).stdout.split()[2:], [b"./a"])

    def test_pack_refuses_a_key_over_127_bytes_and_writes_nothing(self):
        # "./" + 60 + "/" + 64 bytes = 127: accepted; one byte more: refused.
        for length, code in ((64, 0), (65, 1)):
            root = self.make_tree("tree%d" % length, {b"d" * 60 + b"/" + b"f" * length: b"x"})
            archive = self.path("out%d.dat" % length)
            result = zrn("pack", archive, "--root", root)
            self.assertEqual(result.returncode, code, result.stderr)
            self.assertEqual(os.path.exists(archive), code == 0)
            if code:
                self.assertIn(b"at most 127", result.stderr)
        self.assertEqual(sorted(n for n in os.listdir(self.dir) if n.startswith(b"out")),
                         [b"out64.dat"])

    def test_pack_refuses_names_that_cannot_be_keys(self):
        for name in ("emoji-\U0001F600.txt".encode(), b"bad\xff.txt"):
            with self.subTest(name):
                root = self.make_tree("names", {b"ok.txt": b"x", name: b"y"})
                archive = self.path("names.dat")
                result = zrn("pack", archive, "--root", root)
                self.assertEqual(result.returncode, 1)
                self.assertIn(name + b": its name is not UTF-8 with a Shift-JIS (CP932) form", result.stderr)
                self.assertFalse(os.path.exists(archive))
                os.remove(os.path.join(root, name))

    def test_pack_follows_symbolic_links_as_folder_mode_does(self):
        # A link to a file inside the tree packs that file's bytes under the link's name;
        # a link out of the tree, or to a folder, stops the pack with nothing written.
        root = self.make_tree("links", {b"real.txt": b"inside", b"sub/x.txt": b"y"})
        os.symlink(b"real.txt", os.path.join(root, b"alias.txt"))
        archive = self.path("links.dat")
        result = zrn("pack", archive, "--root", root)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(zrn("cat", archive, "./alias.txt").stdout, b"inside")
        outside = self.make_tree("outside", {b"secret.txt": b"no"})
        for name, target in ((b"out.txt", os.path.join(outside, b"secret.txt")),
                             (b"folder", os.path.join(root, b"sub"))):
            with self.subTest(name):
                link = os.path.join(root, name)
                os.symlink(target, link)
                refused = self.path(b"refused.dat")
                result = zrn("pack", refused, "--root", root)
                self.assertEqual(result.returncode, 1)
                self.assertIn(name + b": a symbolic link out of the folder or to a folder",
                              result.stderr)
                self.assertFalse(os.path.exists(refused))
                os.remove(link)

    def test_web_publishes_links_under_their_own_names(self):
        # The site holds what folder mode serves: a link inside the game under the
        # link's name with its target's bytes; a link out of the game is left out.
        player = self.make_tree("player", {name.encode(): name.encode() for name in (
            "tavelle.js", "tavelle.wasm", "tavelle-page.js", "tavelle-page.css",
            "font/gothic.ttf")})
        write(os.path.join(player, b"index.html"), b"<title>@TITLE@</title>")
        game = self.make_tree("webgame", {b"real.txt": b"inside", b"sub/x.txt": b"y"})
        os.symlink(b"real.txt", os.path.join(game, b"alias.txt"))
        outside = self.make_tree("webout", {b"secret.txt": b"no"})
        os.symlink(os.path.join(outside, b"secret.txt"), os.path.join(game, b"out.txt"))
        site = self.path("site")
        result = zrn("web", "--player", player, game, site)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(site, b"tavelle-game.json"), "rb") as f:
            manifest = json.load(f)
        self.assertEqual(manifest["title"], "webgame")
        self.assertEqual(manifest["files"], [{"path": "alias.txt", "size": 6},
                                             {"path": "real.txt", "size": 6},
                                             {"path": "sub/x.txt", "size": 1}])
        with open(os.path.join(site, b"game", b"alias.txt"), "rb") as f:
            self.assertEqual(f.read(), b"inside")
        self.assertFalse(os.path.lexists(os.path.join(site, b"game", b"out.txt")))

    def test_unpack_refuses_keys_without_a_utf8_name(self):
        # A lead byte with nothing after it, a second byte that no character has, and
        # NEC's copy of an IBM character, whose UTF-8 name would pack as IBM's bytes.
        bad = [b"./end\x83", b"./\x81\x7f", b"./\xed\x40"]
        keys = [b"./ok"] + bad
        start = table_words(len(keys))
        archive = self.path("keys.dat")
        write(archive, raw_archive([(k, 1, start) for k in keys], data=[(start, b"z")]))
        out_dir = self.path("keys")
        result = zrn("unpack", archive, out_dir)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.count(b"a UTF-8 file name can hold and give back"), len(bad))
        self.assertEqual(tree_files(out_dir), {b"ok": b"z"})

    def test_unpack_refuses_keys_that_escape(self):
        keys = [b"./ok", b"./../escaped", b"/abs", b"./a/../../b", b"X/no-dot", b"./a//b"]
        start = table_words(len(keys))
        archive = self.path("bad.dat")
        write(archive, raw_archive([(k, 1, start) for k in keys], data=[(start, b"z")]))
        out_dir = self.path("sub", "out")
        result = zrn("unpack", archive, out_dir)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.count(b"refusing key"), len(keys) - 1)
        self.assertEqual(tree_files(self.path("sub")), {b"out/ok": b"z"})

    def test_steps_answers_with_the_games_walls_and_exits(self):
        # Map 1: 2 x 2 cells; a wall on the north edge of cell (1, 1), an exit in cell (3, 3).
        root = self.make_tree("steps", {
            b"Data/map1base.dat": b"0 9 -9\r\n0 0 0\r\n0\r\n2 2 2\r\n" + b"0 0 0\r\n" * 3,
            b"Data/map1attribute.dat": b"0\r\n0 0 0 0\r\n0 3 0 0\r\n0 0 0 0\r\n0 0 0 50\r\n",
        })
        queries = ["start", "attribute 0", "attribute 3", "attribute 6", "attribute 52",
                   "step 1 1.5 2.5 1.5 1.5", "step 1 1.5 0.5 1.5 1.5", "step 1 2.5 3.5 3.5 3.5"]
        result = subprocess.run([ZRN, "steps", root], input="".join(q + "\n" for q in queries).encode(),
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.decode().split("\n"), [
            "0 0 25 14", "none", "wall up", "wall right+up", "exit 3 16 20",
            "1.5 2.00999999 0",  # kept out of the walled cell from the north
            "1.5 1.5 0",         # the wall faces north only
            "3.5 3.5 1", ""])
        for bad in ("step 2 0 0 1 1", "step 1 0 0", "walk"):
            with self.subTest(bad):
                result = subprocess.run([ZRN, "steps", root], input=bad.encode() + b"\n",
                                        capture_output=True, timeout=60)
                self.assertEqual(result.returncode, 1)
                self.assertIn(b"line 1: cannot answer", result.stderr)

    def test_verify_reports_broken_archives(self):
        good = raw_archive([(b"./a", 2, table_words(1))], data=[(table_words(1), b"ok")])
        start = table_words(2)
        cases = [
            ("empty file", b"", b"inside the header"),
            ("table cut", good[:300], b"table ends after 0 of its 1"),
            ("stray bytes", good + b"\1", b"after the last whole word"),
            ("duplicate", raw_archive([(b"./a", 1, start), (b"./a", 1, start + 1)],
                                      data=[(start, b"xy")]), b"duplicate of entry 0"),
            ("no NUL", raw_archive([(b"n" * 128, 1, start - 136)], data=[(start - 136, b"x")]),
             b"no NUL"),
            ("past end", raw_archive([(b"./a", 9, table_words(1))],
                                     data=[(table_words(1), b"short")]), b"past the end"),
            ("overlap", raw_archive([(b"./a", 4, start), (b"./b", 4, start + 2)],
                                    data=[(start, b"xxxxxx")]), b"overlaps that of entry 0"),
            ("into table", raw_archive([(b"./a", 4, 2)]), b"overlaps the header"),
            ("huge size", raw_archive([(b"./a", 1 << 30, 0)]), b"2^30 or more"),
        ]
        for what, image, expected in cases:
            with self.subTest(what):
                archive = self.path("broken.dat")
                write(archive, image)
                result = zrn("verify", archive)
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(expected, result.stderr)

    def test_command_line(self):
        cases = [
            ((), 2, b"", b"usage: zrn"),
            (("--help",), 0, b"unpack ARCHIVE OUT_DIR", b""),
            (("list", "--help"), 0, b"usage: zrn list ARCHIVE", b""),
            (("frobnicate",), 2, b"", b"unknown command"),
            (("pack", "out.dat"), 2, b"", b"usage: zrn pack"),
            (("cat", "a"), 2, b"", b"wrong arguments"),
            (("list", "/nonexistent/ZRN.dat"), 1, b"", b"cannot open"),
            (("pack", "out.dat", "--root", "/nonexistent"), 1, b"", b"not a directory"),
        ]
        for args, code, out, err in cases:
            with self.subTest(args):
                result = zrn(*args)
                self.assertEqual(result.returncode, code, result.stderr)
                self.assertIn(out, result.stdout)
                self.assertIn(err, result.stderr)

        archive = self.path("one.dat")
        write(archive, raw_archive([(b"./a", 1, table_words(1))], data=[(table_words(1), b"A")]))
        result = zrn("cat", archive, "./A")
        self.assertEqual((result.returncode, result.stdout), (1, b""))
        self.assertIn(b"no entry './A'", result.stderr)


if __name__ == "__main__":
    unittest.main()
