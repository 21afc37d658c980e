"""Bad input as a table, over the starter game that `zrn new` writes: every file removed
in turn, and a fixed set of damages done to each kind of file. Each row names the file,
the damage and the messages the player must see, in order; the game must then play on
through the clicks of a short session (the marker starts its scene, the text is paged)
and end cleanly, with no sanitizer report."""
import os
import random
import shutil
import struct
import subprocess
import unittest
from concurrent.futures import ThreadPoolExecutor

from tavelle_e2e import PLAY, ZRN, pack, scratch_dir, run_play

# A short session keeps the two tables inside the suite's time: about 120 runs share two
# cores, and a field frame costs tens of milliseconds of software rendering. Frames 0 to
# 2 load the game; the click on the question mark starts its scene and the second click
# pages it, so the scene's picture is shown too.
FRAMES = 30
CLICKS = "3 click 512 294\n24 click 512 400\n"

MISSING = [("Error", "結合ファイルNot Found"), ("Error", "分割ファイルNot Found"),
           ("Error", "結合ファイルデータNot Found")]
READ_ERROR = [("Error", "結合ファイルデータRead Error")]
MODEL_FAILED = [("ERROR", "Load3DD の読み込み失敗")]
OGG_FAILED = [("", "OGGファイルの参照に失敗")]
WAV_FAILED = [("ERROR", "MIDIファイルのロードに失敗")]


def failed(name):
    return [("ERROR", name + " の読み込み失敗")]


def texture_missing(name):
    return MISSING + failed(name)


# Removing one file: the messages of the start-up load (the textures stop the asset step at
# the first failure, so nothing after a missing texture is asked for).
REMOVED = {
    "CG/NowLoading.bmp": failed("NowLoading.bmp"),
    "X/textback.bmp": texture_missing("textback.bmp"),
    "CG/cursor.bmp": texture_missing("cursor.bmp"),
    "CG/click.bmp": texture_missing("click.bmp"),
    "CG/selectback.bmp": texture_missing("selectback.bmp"),
    "X/mapchip.bmp": texture_missing("mapchip.bmp"),
    "X/tavelle.bmp": texture_missing("tavelle.bmp"),
    "X/miroune.bmp": texture_missing("miroune.bmp"),
    "CG/miroune.bmp": texture_missing("miroune.bmp"),
    "X/pendel.bmp": texture_missing("pendel.bmp"),
    "CG/pendel.bmp": texture_missing("pendel.bmp"),
    "X/sorvane.bmp": texture_missing("sorvane.bmp"),
    "CG/sorvane.bmp": texture_missing("sorvane.bmp"),
    "X/obrik.bmp": texture_missing("obrik.bmp"),
    "CG/obrik.bmp": texture_missing("obrik.bmp"),
    "X/daskel.bmp": texture_missing("daskel.bmp"),
    "CG/daskel.bmp": texture_missing("daskel.bmp"),
    "X/korvath.bmp": texture_missing("korvath.bmp"),
    "CG/korvath.bmp": texture_missing("korvath.bmp"),
    "CG/end.bmp": texture_missing("end.bmp"),
    "X/effect.bmp": texture_missing("effect.bmp"),
    # A model without its file keeps an empty slot; one without its texture says so.
    "X/cursor.3dd": MISSING,
    "X/space.3dd": MISSING,
    "X/question.3dd": MISSING,
    "X/arrow.bmp": MISSING + MODEL_FAILED,
    "X/mist.bmp": MISSING + MODEL_FAILED,
    "X/question.bmp": MISSING + MODEL_FAILED,
    # Channels 0 and 1 both stream normal.ogg.
    "Sound/normal.ogg": OGG_FAILED * 2,
    "Sound/korvath.ogg": OGG_FAILED,
    "Sound/click.wav": WAV_FAILED,
    "Sound/talk.wav": WAV_FAILED,
    "Scenario/fileNameList.txt": MISSING,
    "Scenario/villager.txt": MISSING,
    "Scenario/marker.txt": MISSING,
    # Map 1 is built at start-up: base, then chips and attributes, then its markers. Without
    # its base nothing else of the map is asked for.
    "Data/map1base.dat": MISSING,
    "Data/map1baseUV.dat": MISSING,
    "Data/map1attribute.dat": MISSING,
    "Data/map1event.dat": MISSING,
    # Map 1's characters come with the first return to it, maps 2 and 3 with the first
    # visit: neither happens in the session.
    "Data/map1chara.dat": [],
    "Data/map2base.dat": [],
    "Data/map2baseUV.dat": [],
    "Data/map2attribute.dat": [],
    "Data/map2chara.dat": [],
    "Data/map2event.dat": [],
    "Data/map3base.dat": [],
    "Data/map3baseUV.dat": [],
    "Data/map3attribute.dat": [],
    "Data/map3chara.dat": [],
    "Data/map3event.dat": [],
}


def sanitizer_report(stderr):
    return any(mark in stderr for mark in ("Sanitizer", "runtime error:"))


def linked_copy(source, target):
    """A copy of the game whose files are hard links: a row replaces a file, never writes
    into one, so the rows share the starter game's bytes."""
    shutil.copytree(source, target, copy_function=os.link)


class BadInputMatrix(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = scratch_dir("tavelle-matrix-")
        cls.game = os.path.join(cls.work, "game")
        subprocess.run([ZRN, "new", cls.game], check=True, capture_output=True, timeout=120)

    def play_row(self, name, remove=(), replace=None, packed=False):
        """Plays a copy of the game with files removed or replaced (relative path ->
        bytes); returns the row's name, what it saw and why it failed, if it did."""
        folder = os.path.join(self.work, "row-" + name.replace("/", "_"))
        linked_copy(self.game, folder)
        for path in remove:
            os.remove(os.path.join(folder, path))
        for path, data in (replace or {}).items():
            target = os.path.join(folder, path)
            os.remove(target)
            with open(target, "wb") as f:
                f.write(data)
        r = run_play(folder, FRAMES, inputs=CLICKS, states=(FRAMES - 1,), unpacked=not packed)
        shutil.rmtree(folder, ignore_errors=True)
        state = r.states.get(FRAMES - 1)
        seen = [(m["caption"], m["text"]) for m in state["messages"]] if state else None
        problems = []
        if r.returncode != 0:
            problems.append("exit code %d" % r.returncode)
        if sanitizer_report(r.stderr):
            problems.append("sanitizer report")
        if state is None or state["frame"] != FRAMES - 1:
            problems.append("no state after the last frame")
        elif seen != r.messages():
            problems.append("the state and stderr list different messages")
        return name, seen, problems, r.stderr

    def check_rows(self, rows):
        """rows: (name, expected messages, play_row keyword arguments)."""
        with ThreadPoolExecutor(max_workers=2) as pool:
            results = list(pool.map(lambda row: self.play_row(row[0], **row[2]), rows))
        report = []
        for (name, expected, _), (_, seen, problems, stderr) in zip(rows, results):
            if seen != expected:
                problems.append("messages %r, expected %r" % (seen, expected))
            if problems:
                report.append("%s: %s\n%s" % (name, "; ".join(problems), stderr[-2000:]))
        self.assertEqual(report, [], "\n".join(report))

    def test_each_file_removed(self):
        files = sorted(os.path.relpath(os.path.join(d, f), self.game)
                       for d, _, names in os.walk(self.game) for f in names)
        self.assertEqual(files, sorted(REMOVED), "the starter game's files changed")
        self.check_rows([("removed " + path, REMOVED[path], {"remove": (path,)})
                         for path in files])


if __name__ == "__main__":
    unittest.main()
