#!/usr/bin/env python3
"""zrn lint: silent over the demo game, as its packed game folder, as a folder played
unpacked and as an archive alone, and each kind of mistake reported with the file and
line it is in; always a summary line at the end."""
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile

from PIL import Image

ZRN = os.environ["TAVELLE_ZRN"]
BUILD = os.environ["TAVELLE_BUILD_DIR"]
STAGE = os.path.join(BUILD, "content", "stage")
GAME = os.path.join(BUILD, "game")
FIXTURES = os.path.join(os.environ["TAVELLE_FIXTURES"], "lint")


SUMMARY = re.compile(r"(\d+) files? checked, (\d+) warnings?(?:, (\d+) notes?)?\n\Z")
NOTE = ": note: "


def Lint(path):
    """The exit code and the warnings and notes; the summary line must end the output and
    count them."""
    result = subprocess.run([ZRN, "lint", path], capture_output=True, timeout=120)
    out = result.stdout.decode("cp932", "replace")
    summary = SUMMARY.search(out)
    lines = out[:summary.start()].splitlines() if summary else []
    notes = [line for line in lines if NOTE in line]
    if (not summary or int(summary.group(2)) != len(lines) - len(notes)
            or int(summary.group(3) or 0) != len(notes) or int(summary.group(1)) < 10):
        return -1, "no summary line that counts the warnings and notes:\n" + out
    return result.returncode, out[:summary.start()]


def Reported(expected, out):
    """Whether out has the expected text, or with " … " in it, a line that starts with
    what comes before and ends with what comes after (a map warning's picture point)."""
    head, gap, tail = expected.partition(" … ")
    if not gap:
        return expected in out
    return any(line.startswith(head) and line.endswith(tail) for line in out.splitlines())


def Edit(key, old, new, count=1):
    def Apply(root):
        path = os.path.join(root, key)
        with open(path, "rb") as f:
            data = f.read()
        assert old in data, (key, old)
        with open(path, "wb") as f:
            f.write(data.replace(old, new, count))
    return Apply


def Write(key, data):
    def Apply(root):
        with open(os.path.join(root, key), "wb") as f:
            f.write(data)
    return Apply


def Cut(key, size):
    """The file's first size bytes (all but the last -size when negative)."""
    def Apply(root):
        path = os.path.join(root, key)
        with open(path, "rb") as f:
            data = f.read()
        Write(key, data[:size])(root)
    return Apply


def Remove(key):
    return lambda root: os.remove(os.path.join(root, key))


def All(*mutations):
    def Apply(root):
        for mutate in mutations:
            mutate(root)
    return Apply


def Picture(key, size, image_format="BMP"):
    """A picture of the given size and format under key."""
    def Apply(root):
        out = io.BytesIO()
        Image.new("RGB", size, (120, 80, 40)).save(out, format=image_format)
        Write(key, out.getvalue())(root)
    return Apply


def Script(key, text, encoding="cp932"):
    return Write(key, text.replace("\n", "\r\n").encode(encoding))


def AsUtf8(key, bom=""):
    """The file's Shift-JIS text saved as UTF-8, as today's editors save it."""
    def Apply(root):
        path = os.path.join(root, key)
        with open(path, "rb") as f:
            text = f.read().decode("cp932")
        Write(key, (bom + text).encode("utf-8"))(root)
    return Apply


def CopyFixture(folder, into):
    def Apply(root):
        for name in os.listdir(os.path.join(FIXTURES, folder)):
            shutil.copy(os.path.join(FIXTURES, folder, name), os.path.join(root, into, name))
    return Apply


def BrokenScript(root):
    with open(os.path.join(FIXTURES, "broken_script.txt"), encoding="utf-8") as f:
        text = f.read().replace("\n", "\r\n").encode("cp932")
    Write("Scenario/well.txt", text)(root)




def OneSecondMusic(root):
    """Music of 44100 frames: 5 whole streaming blocks of 8269 frames and 2755 more,
    so the last block is padded with 8269 - 2755 = 5514 frames, 125.0 ms at 44100 Hz."""
    wav = os.path.join(root, "tone.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "1", "sine", "440"],
                   check=True)
    subprocess.run(["oggenc", "--quiet", "-o", os.path.join(root, "Sound", "korvath.ogg"), wav], check=True)
    os.remove(wav)


WELL = "./Scenario/well.txt"
ROOM = b"0 0 0 2 0 0 4 0 0 0 0 0 0 2 0 0 0 0 0 0 8 5"  # row 16 of map 1: through a pen walled on every side
CASES = [
    ("script mistakes", BrokenScript, [
        WELL + ":2: unknown tag [foo] is shown as text",
        WELL + ":3: jump to label *nowhere, which scenario 13 does not define",
        WELL + ":4: link to label *missing, which scenario 13 does not define",
        WELL + ":6: single-byte text 'o' outside tags will not show",
        WELL + ":7: 'e.60' is no variable (e.0 to e.49, s.0 to s.9)",
        WELL + ":8: if needs exactly one comparison",
        WELL + ":9: tag without \"]\" on its line",
        WELL + ":10: this page reaches the end of the script",
    ]),
    ("one line of the file list without CR", Edit("Scenario/fileNameList.txt", b"common.txt\r\n", b"common.txt\n"),
     ["./Scenario/fileNameList.txt:1: line ends without CR among lines with CR LF"]),
    ("marker starts an empty slot", Edit("Scenario/fileNameList.txt", b"./Scenario/well.txt", b"NONE"),
     ["./Data/map1event.dat:5: starts scenario 13, which is \"NONE\""]),
    ("marker starts an empty script", Write("Scenario/well.txt", b";only a comment\r\n"),
     ["./Data/map1event.dat:5: starts scenario 13, whose script ./Scenario/well.txt is empty"]),
    ("slot that nothing starts", Edit("Scenario/fileNameList.txt", b"NONE\r\n", b"./Scenario/well.txt\r\n"),
     ["./Scenario/fileNameList.txt:8: scenario 7 (./Scenario/well.txt) is never started"]),
    # The ending's last page clears e.10 as well; without that reset only the bell set it.
    ("variable set and tested apart",
     All(Edit("Scenario/bell.txt", b"e.10 = 1", b"e.40 = 1"), Edit("Scenario/common.txt", b'[eval x="e.10 = 0"]', b"")),
     ["./Scenario/korvath.txt:13: e.10 is tested, but no script sets it: it is always 0",
      "./Scenario/bell.txt:6: e.40 is set, but nothing tests it"]),
    ("operators the game does not apply", Edit("Scenario/bell.txt", b"e.10 = 1", b"e.10 = 1 % 2 == 1"),
     ["./Scenario/bell.txt:6: unknown operator '%' in", "./Scenario/bell.txt:6: unknown operator '==' in"]),
    ("numbers with no file",
     All(Edit("Scenario/miroune.txt", b"[image 1 layer=0", b"[image 8 layer=0"),
         Edit("Scenario/well.txt", b"[playse 0]", b"[playse 2]"),
         Edit("Scenario/common.txt", b"[playbgm 0]", b"[playbgm 3]"),
         Remove("Sound/korvath.ogg")),
     ["./Scenario/miroune.txt:3: picture 8 has no file",
      WELL + ":5: effect 2 has no file",
      "./Scenario/common.txt:3: music 3 has no file",
      "./Scenario/korvath.txt:5: music 2 has no file: ./Sound/korvath.ogg is missing",
      "./Sound/korvath.ogg: missing: the game plays it as music"]),
    ("exit and character behind walls",
     All(Edit("Data/map1attribute.dat", ROOM, b"0 0 0 2 0 52 4 0 0 0 0 0 0 2 0 0 0 0 0 0 8 5"),
         Edit("Data/map2chara.dat", b"1 25 0 15 5 1 0", b"1 60 0 60 5 1 0")),
     ["./Data/map1attribute.dat:18: exit 52 at cell (5, 16): walls keep the lead from it … [zrn map 1: picture (88, 184)]",
      "./Data/map2chara.dat:2: character 5: the lead cannot walk close enough to talk to it"
      " … [zrn map 2: picture (960, -512), outside the picture]"]),
    ("media that do not load",
     All(Cut("CG/end.bmp", 100), Cut("CG/NowLoading.bmp", 60), Write("Sound/click.wav", b"RIFF\0\0\0\0WAVEjunk"),
         Write("Sound/normal.ogg", b"OggS" + bytes(200))),
     ["./CG/end.bmp: the bitmap does not decode",
      "./CG/NowLoading.bmp: the bitmap does not decode",
      "./Sound/click.wav: the wave does not load: effect 0 stays silent",
      "./Sound/normal.ogg: not a seekable Ogg Vorbis stream"]),
    ("music with a gap at its loop", OneSecondMusic,
     ["./Sound/korvath.ogg: 44100 frames are not a whole number of streaming blocks (8269 frames, "
      "3/16 s at 44100 Hz): the last block ends in 5514 frames of silence, so the loop has a gap of 125.0 ms"]),
    ("map too large", Edit("Data/map2base.dat", b"\r\n16 14 2\r\n", b"\r\n17 14 2\r\n"),
     ["./Data/map2base.dat:4: map size 17 x 14 is outside"]),
    ("attribute grid too large", Edit("Data/map2base.dat", b"\r\n16 14 2\r\n", b"\r\n16 14 3\r\n"),
     ["./Data/map2base.dat:4: attribute grid 48 x 42 is outside"]),
    ("chip outside the atlas", Edit("Data/map3baseUV.dat", b"0\r\n", b"0\r\n58 "),
     ["./Data/map3baseUV.dat:2: chip 58 is outside the 8 x 8 atlas"]),
    ("unknown attribute", Edit("Data/map1attribute.dat", b"0\r\n", b"0\r\n9 "),
     ["./Data/map1attribute.dat:2: unknown attribute value 9"]),
    ("too many events", Edit("Data/map3event.dat", b"2\r\n", b"101\r\n"),
     ["./Data/map3event.dat:1: event count 101 is outside 0 to 100"]),
    ("chara list without its 0", Edit("Data/map2chara.dat", b"\r\n0\r\n", b"\r\n"),
     ["./Data/map2chara.dat:3: the list of characters does not end with a 0"]),
    ("space before a line end", Edit("Data/map1base.dat", b"\r\n", b" \r\n"),
     ["./Data/map1base.dat:1: a delimiter before the line end"]),
    ("missing picture", Remove("CG/end.bmp"),
     ["./CG/end.bmp: missing", "./Scenario/common.txt:3: picture 7 has no file: ./CG/end.bmp is not in the archive"]),
    ("model texture not there", Edit("X/space.3dd", b"mist.bmp", b"mast.bmp"),
     ["./X/space.3dd:4: texture ./X/mast.bmp is not in the archive"]),
    ("comment lines right after a page start",
     Script("Scenario/well.txt", ";冒頭のメモ\n[playse 0]あ[l][ct]\n;次のページのメモ\nい[l]\n[jump target=\"*b\"]"
                                 "\n*b\n;ラベルのあとのメモ\nう[l]\n;ページの中のメモ\n[exit]\n"),
     [WELL + ":1: comment line with two-byte text right after a page start",
      WELL + ":3: comment line with two-byte text right after a page start",
      WELL + ":7: comment line with two-byte text right after a page start"],
     [WELL + ":9:"]),
    # A folder converts what today's editors write: a note, not a warning.
    ("a script saved as UTF-8", AsUtf8("Scenario/well.txt"),
     [WELL + ": note: saved as UTF-8: folder mode and zrn pack convert it to Shift-JIS (CP932)"],
     ["half-width katakana", "looks like UTF-8"]),
    ("a script saved as UTF-8 with a BOM and a PNG for a bitmap",
     All(AsUtf8("Scenario/well.txt", "\ufeff"),
         Picture("X/mapchip.png", (512, 512), "PNG"), Remove("X/mapchip.bmp")),
     [WELL + ": note: saved as UTF-8", "./X/mapchip.bmp: note: read from the PNG of that name"],
     ["./X/mapchip.bmp: the bitmap"]),
    ("a character Shift-JIS cannot hold, a PNG of the wrong size",
     All(Script("Scenario/well.txt", "[playse 0]あ[l]\n한[l]\n[exit]\n", "utf-8"),
         Picture("X/mapchip.png", (500, 500), "PNG"), Remove("X/mapchip.bmp")),
     [WELL + ":2: the character U+D55C has no Shift-JIS (CP932) form",
      "./X/mapchip.bmp: 500 x 500: the chip atlas is cut in eighths"]),
    # An archive holds what the game reads: a script name that folder mode does not
    # convert (only .txt texts are) keeps the warning.
    ("a script saved as UTF-8 under another name",
     All(Edit("Scenario/fileNameList.txt", b"./Scenario/well.txt", b"./Scenario/well.scn"),
         Remove("Scenario/well.txt"),
         Script("Scenario/well.scn", "[playse 0]あいう[l]\n[exit]\n", "utf-8")),
     ["./Scenario/well.scn: this file looks like UTF-8: save it as Shift-JIS (CP932), or name it .txt"],
     ["half-width katakana"]),
    ("pictures in other formats under bitmap names",
     All(Picture("X/effect.bmp", (256, 256), "PNG"), Picture("CG/end.bmp", (1024, 768), "JPEG")),
     ["./X/effect.bmp: the bitmap does not decode (a PNG file, not a bitmap",
      "./CG/end.bmp: the bitmap does not decode (a JPEG file, not a bitmap"]),
    ("bitmap sizes the game cannot use",
     All(Picture("X/miroune.bmp", (250, 250)), Picture("X/mapchip.bmp", (500, 500)),
         Picture("CG/cursor.bmp", (48, 48)), Picture("CG/end.bmp", (1100, 600)),
         Picture("CG/pendel.bmp", (600, 700))),
     ["./X/miroune.bmp: 250 x 250: a sprite sheet is cut in 64ths of a square texture; make it 256 x 256",
      "./X/mapchip.bmp: 500 x 500: the chip atlas is cut in eighths of a square texture; make it 512 x 512",
      "./CG/cursor.bmp: 48 x 48: the game draws this texture in fractions of its size",
      "./CG/end.bmp: 1100 x 600: textures larger than 1024 on a side"],
     # A picture is drawn at its own size, whatever it is up to 1024.
     ["./CG/pendel.bmp"]),
    # Map 3 made the guide's small map with its pen's corner cells left 0, a character
    # free on the meadow beside the gate and one far in front of the camera.
    ("walkers that leave their pens, reach exits or stand out of view", CopyFixture("open_pen", "Data"),
     ["./Data/map3chara.dat:2: character 6 at (23, 3) slips out of its pen at the corner (22, 2)"
      " … [zrn map 3: picture (360, 216)]",
      "./Data/map3chara.dat:2: character 6 at (23, 3) can walk off the map … [zrn map 3: picture (368, 208)]",
      "./Data/map3chara.dat:3: character 5 at (20, 12) can wander into an exit … [zrn map 3: picture (320, 64)]",
      "./Data/map3chara.dat:4: character 4 at (14, -30) stands outside the camera's view"
      " … [zrn map 3: picture (224, 736), outside the picture]"]),
    ("a camera that shows none of the map's exits",
     Edit("Data/map2base.dat", b"18 64 71\r\n18 0 14\r\n", b"18 64 171\r\n18 0 114\r\n"),
     ["./Data/map2attribute.dat:4: exit 52 (first at cell (26, 2)): no cell of it is in the camera's view"
      " … [zrn map 2: picture (424, 408)]",
      "./Data/map2attribute.dat:20: exit 50 (first at cell (28, 18)): no cell of it is in the camera's view"
      " … [zrn map 2: picture (456, 152)]",
      "./Data/map2chara.dat:3: character 3 at (7, 15) stands outside the camera's view … [zrn map 2: picture (112, 208)]"]),
    # Map 1's exit at its origin only keeps the lead's first step clear while the forest
    # gate is in view; with the camera turned away it is one more door nobody can use.
    ("a camera that shows none of map 1's exits, the origin's among them",
     Edit("Data/map1base.dat", b"16 64 -42\r\n16 0 15\r\n", b"16 64 -142\r\n16 0 -85\r\n"),
     ["./Data/map1attribute.dat:2: exit 50 (first at cell (0, 0)): no cell of it is in the camera's view"
      " … [zrn map 1: picture (8, 440)]",
      "./Data/map1attribute.dat:24: exit 51 (first at cell (16, 22)): no cell of it is in the camera's view"
      " … [zrn map 1: picture (264, 88)]",
      "./Data/map1chara.dat:2: character 1 at (5, 17) stands outside the camera's view … [zrn map 1: picture (80, 176)]"]),
    # The game decodes an archive entry from the size query's block, four times its
    # length and zero past its end: a bitmap cut short loads there.
    ("bitmap cut short that the game still loads",
     All(Cut("X/tavelle.bmp", -200), Edit("Scenario/bell.txt", b"e.10 = 1", b"e.40 = 1")),
     ["./Scenario/bell.txt:6: e.40 is set, but nothing tests it"], ["./X/tavelle.bmp"]),
]
# Checks of the archive's entries hold for a packed game folder too.
PACKED = {"script mistakes", "media that do not load", "bitmap cut short that the game still loads"}


def MakeGameFolder(tree):
    """The demo as a folder played unpacked: the archive's files and the loose ones."""
    shutil.copytree(STAGE, tree)
    shutil.copytree(os.path.join(GAME, "Sound"), os.path.join(tree, "Sound"))
    shutil.copy(os.path.join(GAME, "CG", "NowLoading.bmp"), os.path.join(tree, "CG"))


def Pack(tree, archive):
    subprocess.run([ZRN, "pack", archive, "--root", tree], check=True, capture_output=True)


def main():
    failures = []

    def ExpectClean(path, what):
        code, out = Lint(path)
        if code != 0 or out:
            failures.append("%s is not clean (exit %d):\n%s" % (what, code, out))

    ExpectClean(GAME, "the demo game folder")
    with tempfile.TemporaryDirectory() as work:
        unpacked = os.path.join(work, "unpacked")
        MakeGameFolder(unpacked)
        ExpectClean(unpacked, "the demo played unpacked")
        for name, ends in (("LF", b"\n"), ("CR", b"\r")):
            other = os.path.join(work, name)
            MakeGameFolder(other)
            for folder in ("Scenario", "Data"):
                for file in os.listdir(os.path.join(other, folder)):
                    Edit(os.path.join(folder, file), b"\r\n", ends, -1)(other)
            Edit("X/space.3dd", b"\r\n", ends, -1)(other)
            ExpectClean(other, "the demo with %s line ends" % name)
        # An archive of another name is read alone; a ZRN.dat with the loose files beside it.
        archive = os.path.join(work, "demo.dat")
        Pack(STAGE, archive)
        ExpectClean(archive, "the packed demo archive")
        ExpectClean(os.path.join(GAME, "ZRN.dat"), "the demo game's ZRN.dat")
        handed_out = os.path.join(work, "handed-out")
        shutil.copytree(GAME, handed_out)
        os.remove(os.path.join(handed_out, "Sound", "click.wav"))
        os.remove(os.path.join(handed_out, "CG", "NowLoading.bmp"))
        code, out = Lint(os.path.join(handed_out, "ZRN.dat"))
        for line in ("./Sound/click.wav: missing", "./CG/NowLoading.bmp: missing"):
            if code != 1 or line not in out:
                failures.append("a packed game without its loose files: exit %d, no %r in:\n%s"
                                % (code, line, out))
        for number, case in enumerate(CASES):
            name, mutate, expected = case[:3]
            absent = case[3] if len(case) > 3 else []
            tree = os.path.join(work, "case%d" % number)
            MakeGameFolder(tree)
            mutate(tree)
            sources = [tree]
            if name in PACKED:
                packed = os.path.join(work, "packed%d" % number)
                os.makedirs(packed)
                Pack(tree, os.path.join(packed, "ZRN.dat"))
                shutil.copytree(os.path.join(tree, "Sound"), os.path.join(packed, "Sound"))
                os.makedirs(os.path.join(packed, "CG"))
                shutil.copy(os.path.join(tree, "CG", "NowLoading.bmp"), os.path.join(packed, "CG"))
                sources += [packed, os.path.join(packed, "ZRN.dat")]
            for source in sources:
                code, out = Lint(source)
                loose = source.endswith(".dat")
                missing = [line for line in expected
                           if not Reported(line, out) and not (loose and "Sound/" in line or loose and "NowLoading" in line)]
                wrong = [line for line in absent if line in out]
                notes_only = all(NOTE in line for line in expected)
                if code != (0 if notes_only else 1) or missing or wrong:
                    failures.append("%s (%s): exit %d, missing %s, wrongly %s in:\n%s"
                                    % (name, source, code, missing, wrong, out))
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
