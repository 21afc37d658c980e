#!/usr/bin/env python3
"""zrn lint: silent over the demo game, as its packed game folder, as a folder played
unpacked and as an archive alone, and each kind of mistake reported with the file and
line it is in."""
import os
import shutil
import subprocess
import sys
import tempfile

ZRN = os.environ["TAVELLE_ZRN"]
BUILD = os.environ["TAVELLE_BUILD_DIR"]
STAGE = os.path.join(BUILD, "content", "stage")
GAME = os.path.join(BUILD, "game")
FIXTURES = os.path.join(os.environ["TAVELLE_FIXTURES"], "lint")


def Lint(path):
    result = subprocess.run([ZRN, "lint", path], capture_output=True, timeout=120)
    return result.returncode, result.stdout.decode("cp932", "replace")


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
     ["./Data/map1attribute.dat:18: exit 52 at cell (5, 16): walls keep the lead from it",
      "./Data/map2chara.dat:2: character 5: the lead cannot walk close enough to talk to it"]),
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
]
# Checks of the archive's entries hold for a packed game folder too.
PACKED = {"script mistakes", "media that do not load"}


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
        archive = os.path.join(work, "ZRN.dat")
        Pack(STAGE, archive)
        ExpectClean(archive, "the packed demo archive")
        for number, (name, mutate, expected) in enumerate(CASES):
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
                           if line not in out and not (loose and "Sound/" in line or loose and "NowLoading" in line)]
                if code != 1 or missing:
                    failures.append("%s (%s): exit %d, missing %s in:\n%s" % (name, source, code, missing, out))
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
