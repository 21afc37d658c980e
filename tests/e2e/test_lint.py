#!/usr/bin/env python3
"""zrn lint: silent over the demo data, as a tree and as a packed archive, and each
kind of mistake reported with the file and line it is in."""
import os
import shutil
import subprocess
import sys
import tempfile

ZRN = os.environ["TAVELLE_ZRN"]
STAGE = os.path.join(os.environ["TAVELLE_BUILD_DIR"], "content", "stage")
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


def Remove(key):
    return lambda root: os.remove(os.path.join(root, key))


def BrokenScript(root):
    with open(os.path.join(FIXTURES, "broken_script.txt"), encoding="utf-8") as f:
        text = f.read().replace("\n", "\r\n").encode("cp932")
    with open(os.path.join(root, "Scenario", "well.txt"), "wb") as f:
        f.write(text)


def LfList(root):
    Edit("Scenario/fileNameList.txt", b"\r\n", b"\n", -1)(root)


WELL = "./Scenario/well.txt"
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
    ("LF-only file list", LfList, ["./Scenario/fileNameList.txt:1: line ends without CR"]),
    ("marker starts an empty slot", Edit("Scenario/fileNameList.txt", b"./Scenario/well.txt", b"NONE"),
     ["./Data/map1event.dat:5: starts scenario 13, which is \"NONE\""]),
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
    ("missing picture", Remove("CG/end.bmp"), ["./CG/end.bmp: missing"]),
    ("model texture without CR", Edit("X/space.3dd", b"mist.bmp\r\n", b"mist.bmp\n"),
     ["./X/space.3dd:4: the texture key's line ends without CR",
      "./X/space.3dd:4: texture ./X/mist.bm is not in the archive"]),
]


def main():
    failures = []
    code, out = Lint(STAGE)
    if code != 0 or out:
        failures.append("demo data is not clean (exit %d):\n%s" % (code, out))
    with tempfile.TemporaryDirectory() as work:
        archive = os.path.join(work, "ZRN.dat")
        subprocess.run([ZRN, "pack", archive, "--root", STAGE], check=True, capture_output=True)
        code, out = Lint(archive)
        if code != 0 or out:
            failures.append("packed demo data is not clean (exit %d):\n%s" % (code, out))
        for number, (name, mutate, expected) in enumerate(CASES):
            tree = os.path.join(work, "case%d" % number)
            shutil.copytree(STAGE, tree)
            mutate(tree)
            sources = [tree]
            if number == 0:
                packed = os.path.join(work, "case0.dat")
                subprocess.run([ZRN, "pack", packed, "--root", tree], check=True, capture_output=True)
                sources.append(packed)
            for source in sources:
                code, out = Lint(source)
                missing = [line for line in expected if line not in out]
                if code != 1 or missing:
                    failures.append("%s (%s): exit %d, missing %s in:\n%s" % (name, source, code, missing, out))
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
