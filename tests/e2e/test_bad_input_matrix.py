"""Bad input as a table, over the starter game that `zrn new` writes: every file removed
in turn, and a fixed set of damages done to each kind of file. Each row names the file,
the damage and the messages the player must see, in order; the game must then play on
through the clicks of a short session (the marker starts its scene, the text is paged)
and end cleanly, with no sanitizer report."""
import os
import random
import re
import shutil
import struct
import subprocess
import unittest
from concurrent.futures import ThreadPoolExecutor

from tavelle_e2e import ZRN, pack, scratch_dir, run_play

# Each row plays 300 frames after the damage. The rows check states and messages and shoot
# no frame, so the frames are not rasterised (--draw shots): every draw call is still made
# and checked, and 110 runs fit in the suite's time on two cores. Frames 0 to 2 load the
# game; the click on the question mark starts its scene and the second click pages it, so
# the scene's picture is shown too.
FRAMES = 303
CLICKS = "3 click 512 294\n24 click 512 400\n"
# A row whose file is used up by the start-up load (every file removed, the pictures,
# models, maps and lists damaged) plays on only until the scene is paged and its picture
# shown: every message has been shown by then, and the frames after it draw the same scene
# from the same records. The files the session goes on reading as it plays keep the whole
# session: the scene's script (paged and walked), the music (streamed from the file), the
# talk effect (mixed as it plays) and the archive, which holds the script.
LOAD_ONLY_FRAMES = 63

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


# The damages, the same for every kind of file but the last, which writes absurd values
# where the kind keeps its sizes and counts.
FLIP_OFFSETS = (2, 10, 18, 22, 28, 60, 200, 4000)


def half(data):
    return data[:len(data) // 2]


def emptied(data):
    return b""


def flipped(data):
    """One bit changed at each fixed offset the file reaches, and in its middle."""
    out = bytearray(data)
    for offset in FLIP_OFFSETS + (len(data) // 2,):
        if offset < len(out):
            out[offset] ^= 0x04
    return bytes(out)


def garbage(data):
    return random.Random(len(data)).randbytes(len(data))


def ogg_crc(page):
    """The checksum of an Ogg page (CRC-32 with the polynomial 0x04c11db7, no reflection),
    taken with its own checksum field zero."""
    crc = 0
    for byte in page:
        crc ^= byte << 24
        for _ in range(8):
            crc = (crc << 1) ^ 0x04C11DB7 if crc & 0x80000000 else crc << 1
            crc &= 0xFFFFFFFF
    return crc


def absurd_bmp(data):
    """Width and height near 2^31 and 2^32 palette colours, with the file as it was."""
    out = bytearray(data)
    struct.pack_into("<ii", out, 18, 0x7FFFFFFF, 0x7FFFFFFF)
    struct.pack_into("<I", out, 46, 0xFFFFFFFF)
    return bytes(out)


def absurd_wav(data):
    """65535 channels at 4294967295 Hz, and a data chunk that claims 4 GiB."""
    out = bytearray(data)
    struct.pack_into("<HI", out, 22, 0xFFFF, 0xFFFFFFFF)
    struct.pack_into("<I", out, 40, 0xFFFFFFFF)
    return bytes(out)


def absurd_ogg(data):
    """The identification header says 255 channels at 4294967295 Hz; the first page's
    checksum is made right again, so the decoder reads the numbers."""
    out = bytearray(data)
    segments = out[26]
    header = 27 + segments
    out[header + 11] = 255
    struct.pack_into("<I", out, header + 12, 0xFFFFFFFF)
    page_end = header + sum(out[27:header])
    struct.pack_into("<I", out, 22, 0)
    struct.pack_into("<I", out, 22, ogg_crc(bytes(out[:page_end])))
    return bytes(out)


def absurd_text(numbers):
    """Every number of the first lines replaced by a huge one, and the rest kept."""
    def damage(data):
        lines = data.split(b"\n")
        for i in range(min(numbers, len(lines))):
            lines[i] = re.sub(rb"-?[0-9][0-9.]*", b"2147483647", lines[i])
        return b"\n".join(lines)
    return damage


def absurd_list(data):
    """Slot 0's name (a "NONE" line) made 70,000 bytes long."""
    return data.replace(b"NONE", b"./" + b"9" * 70000, 1)


# The archive's words: each stored word w decodes to the low byte of w^61 mod 6961.
def decode_word(word):
    return pow(word, 61, 6961) & 0xFF


ENCODED = {}
for _word in range(6961):
    ENCODED.setdefault(decode_word(_word), _word)


def archive_number(data, word_index):
    words = struct.unpack_from("<4I", data, 4 * word_index)
    return int.from_bytes(bytes(decode_word(w) for w in words), "little")


def put_archive_number(out, word_index, value):
    struct.pack_into("<4I", out, 4 * word_index, *(ENCODED[b] for b in value.to_bytes(4, "little")))


def archive_entry_words(data, key):
    """The word index of the table entry whose name is key."""
    for i in range(archive_number(data, 0)):
        start = 4 + 136 * i
        name = bytes(decode_word(w) for w in struct.unpack_from("<128I", data, 4 * start))
        if name.split(b"\0")[0] == key:
            return start
    raise KeyError(key)


def absurd_archive(data):
    """4294967295 entries, and the first texture's length 2^30 - 1 words."""
    out = bytearray(data)
    put_archive_number(out, 0, 0xFFFFFFFF)
    put_archive_number(out, archive_entry_words(data, b"./X/textback.bmp") + 128, 0x3FFFFFFF)
    return bytes(out)


# The kinds of file: the one damaged, and how its sizes and counts are made absurd. The
# archive rows play the game packed, the others unpacked.
ARCHIVE = "ZRN.dat"
KINDS = [
    (ARCHIVE, absurd_archive),
    ("Scenario/fileNameList.txt", absurd_list),
    ("Scenario/marker.txt", absurd_text(100)),
    ("Data/map1base.dat", absurd_text(4)),
    ("Data/map1baseUV.dat", absurd_text(100)),
    ("Data/map1attribute.dat", absurd_text(100)),
    ("Data/map1event.dat", absurd_text(100)),
    ("X/question.3dd", absurd_text(3)),
    ("CG/pendel.bmp", absurd_bmp),
    ("Sound/normal.ogg", absurd_ogg),
    ("Sound/talk.wav", absurd_wav),
    ("CG/NowLoading.bmp", absurd_bmp),
]
DAMAGES = [("half", half), ("empty", emptied), ("flips", flipped), ("garbage", garbage)]
READ_AS_THE_SESSION_PLAYS = (ARCHIVE, "Scenario/marker.txt", "Sound/normal.ogg",
                             "Sound/talk.wav")

# What each damage must show. The archive's table is read as far as the file goes, and an
# entry whose data lies past the end fails when it is read; the list's names are its lines,
# lines past its end name nothing; the map files other than the base trust their numbers
# and stay silent; a picture read from the archive gets the four-times-larger buffer, so a
# cut one loads with its missing half zero, while the loading picture is read from disk.
# The start-up load tries every texture, each failing on its own, then the three models
# (the two effects need no file), then the list and map 1.
TEXTURES = ["textback", "cursor", "click", "selectback", "mapchip", "tavelle", "miroune", "miroune",
            "pendel", "pendel", "sorvane", "sorvane", "obrik", "obrik", "daskel", "daskel", "korvath",
            "korvath", "end", "effect"]
ARCHIVE_EMPTY = sum((texture_missing(t + ".bmp") for t in TEXTURES), []) + MISSING * 5
BASE_FAILED = failed("./Data/map1base.dat")
DAMAGED = {
    # The archive's data is in key order: the textures whose data lies in the lost half
    # fail one by one, and so do the three models, the list and map 1's base.
    (ARCHIVE, "half"): sum((READ_ERROR + failed(t + ".bmp") for t in TEXTURES[:1] + TEXTURES[3:14]
                            + ["daskel", "korvath", "effect"]), []) + READ_ERROR * 5,
    (ARCHIVE, "empty"): ARCHIVE_EMPTY,
    # The flips make the count 201 instead of 49 (the table is then read on into the data,
    # whose false entries come after the real ones), change the name of the loading
    # picture, which the game never asks the archive for, and a byte of picture data.
    (ARCHIVE, "flips"): [],
    (ARCHIVE, "garbage"): ARCHIVE_EMPTY,
    # The table is read to the end of the file; the first texture's entry, which would
    # reach past 2 GiB, is dropped.
    (ARCHIVE, "absurd"): texture_missing("textback.bmp"),
    # The cut falls after a whole line: the slots past it stay empty, as with "NONE".
    ("Scenario/fileNameList.txt", "half"): [],
    ("Scenario/fileNameList.txt", "empty"): [],
    # Lines 0, 1, 4, 27 and 47 become "NOJE", "./Scanario/vmllacer.txp", "JONE", "NOJE" and
    # "JONE": five names that are not in the archive; the marker's line is untouched.
    ("Scenario/fileNameList.txt", "flips"): MISSING * 5,
    # Three lines before the first zero byte, none of them a name in the archive.
    ("Scenario/fileNameList.txt", "garbage"): MISSING * 3,
    ("Scenario/fileNameList.txt", "absurd"): MISSING,
    # Scripts have no messages of their own: whatever the text, the scene runs it.
    ("Scenario/marker.txt", "half"): [],
    ("Scenario/marker.txt", "empty"): [],
    ("Scenario/marker.txt", "flips"): [],
    ("Scenario/marker.txt", "garbage"): [],
    ("Scenario/marker.txt", "absurd"): [],
    # A base without a usable size (1 to the largest map, across and down) is refused.
    ("Data/map1base.dat", "half"): [],
    ("Data/map1base.dat", "empty"): BASE_FAILED,
    ("Data/map1base.dat", "flips"): [],
    ("Data/map1base.dat", "garbage"): BASE_FAILED,
    ("Data/map1base.dat", "absurd"): BASE_FAILED,
    # A model without its header or texture says so; one cut after its texture's name
    # reads the missing numbers as zeros.
    ("X/question.3dd", "half"): [],
    ("X/question.3dd", "empty"): MODEL_FAILED,
    ("X/question.3dd", "flips"): MISSING + MODEL_FAILED,
    ("X/question.3dd", "garbage"): MISSING + MODEL_FAILED,
    ("X/question.3dd", "absurd"): MODEL_FAILED,
    ("CG/pendel.bmp", "half"): [],
    ("CG/pendel.bmp", "empty"): failed("pendel.bmp"),
    ("CG/pendel.bmp", "flips"): failed("pendel.bmp"),
    ("CG/pendel.bmp", "garbage"): failed("pendel.bmp"),
    ("CG/pendel.bmp", "absurd"): failed("pendel.bmp"),
    # Half an Ogg keeps its headers and plays shorter; half a wave plays what it has.
    ("Sound/normal.ogg", "half"): [],
    ("Sound/normal.ogg", "empty"): OGG_FAILED * 2,
    ("Sound/normal.ogg", "flips"): OGG_FAILED * 2,
    ("Sound/normal.ogg", "garbage"): OGG_FAILED * 2,
    ("Sound/normal.ogg", "absurd"): OGG_FAILED * 2,
    ("Sound/talk.wav", "half"): [],
    ("Sound/talk.wav", "empty"): WAV_FAILED,
    ("Sound/talk.wav", "flips"): WAV_FAILED,
    ("Sound/talk.wav", "garbage"): WAV_FAILED,
    ("Sound/talk.wav", "absurd"): WAV_FAILED,
}
for _path in ("Data/map1baseUV.dat", "Data/map1attribute.dat", "Data/map1event.dat"):
    for _damage in ("half", "empty", "flips", "garbage", "absurd"):
        DAMAGED[(_path, _damage)] = []
for _damage in ("half", "empty", "flips", "garbage", "absurd"):
    DAMAGED[("CG/NowLoading.bmp", _damage)] = failed("NowLoading.bmp")


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

    def packed_game(self):
        """The game with its archive beside the loose files."""
        folder = os.path.join(self.work, "packed")
        if not os.path.exists(folder):
            linked_copy(self.game, folder)
            pack(self.game, os.path.join(folder, ARCHIVE))
        return folder

    def play_row(self, name, remove=(), replace=None, packed=False, frames=FRAMES):
        """Plays frames frames of a copy of the game with files removed or replaced
        (relative path -> bytes); returns the row's name, the messages it recorded, why it
        failed (if it did), the driver's stderr and the state after the last frame."""
        folder = os.path.join(self.work, "row-" + re.sub(r"[^A-Za-z0-9.]", "_", name))
        linked_copy(self.packed_game() if packed else self.game, folder)
        for path in remove:
            os.remove(os.path.join(folder, path))
        for path, data in (replace or {}).items():
            target = os.path.join(folder, path)
            os.remove(target)
            with open(target, "wb") as f:
                f.write(data)
        r = run_play(folder, frames, inputs=CLICKS, states=(frames - 1,), unpacked=not packed,
                     draw="shots")
        shutil.rmtree(folder, ignore_errors=True)
        state = r.states.get(frames - 1)
        seen = [(m["caption"], m["text"]) for m in state["messages"]] if state else None
        problems = []
        if r.returncode != 0:
            problems.append("exit code %d" % r.returncode)
        if sanitizer_report(r.stderr):
            problems.append("sanitizer report")
        if state is None or state["frame"] != frames - 1:
            problems.append("no state after the last frame")
        elif seen != r.messages():
            problems.append("the state and stderr list different messages")
        return name, seen, problems, r.stderr, state

    def check_rows(self, rows):
        """rows: (name, expected messages, play_row keyword arguments)."""
        with ThreadPoolExecutor(max_workers=2) as pool:
            results = list(pool.map(lambda row: self.play_row(row[0], **row[2]), rows))
        report = []
        for (name, expected, _), (_, seen, problems, stderr, _) in zip(rows, results):
            if seen != expected:
                problems.append("messages %r, expected %r" % (seen, expected))
            if problems:
                report.append("%s: %s\n%s" % (name, "; ".join(problems), stderr[-2000:]))
        self.assertEqual(report, [], "\n".join(report))

    def test_the_session_shows_the_scene_and_its_picture(self):
        """The rows' session on the whole game: what a damaged file can spoil."""
        _, seen, problems, stderr, state = self.play_row("whole game")
        self.assertEqual((seen, problems), ([], []), stderr)
        scenario = state["scenario"]
        self.assertEqual(state["frameNo"], 231)
        self.assertEqual(scenario["current"], 2)
        visible = [(l["index"], l["picture"]) for l in scenario["layers"] if l["visible"]]
        self.assertEqual(visible, [(1, 2)])
        self.assertTrue(scenario["text"].startswith("どちら"), scenario["text"])
        # The click effect for the press on the field and the scene's [playse 0]; the talk
        # effect for the marker.
        self.assertEqual(state["effectPlays"][:2], [2, 1])

    def test_each_file_removed(self):
        files = sorted(os.path.relpath(os.path.join(d, f), self.game)
                       for d, _, names in os.walk(self.game) for f in names)
        self.assertEqual(files, sorted(REMOVED), "the starter game's files changed")
        self.check_rows([("removed " + path, REMOVED[path],
                          {"remove": (path,), "frames": LOAD_ONLY_FRAMES}) for path in files])

    def test_each_kind_of_file_damaged(self):
        rows = []
        for path, absurd in KINDS:
            with open(os.path.join(self.packed_game() if path == ARCHIVE else self.game, path),
                      "rb") as f:
                data = f.read()
            frames = FRAMES if path in READ_AS_THE_SESSION_PLAYS else LOAD_ONLY_FRAMES
            for damage, change in DAMAGES + [("absurd", absurd)]:
                rows.append(("%s %s" % (path, damage), DAMAGED[(path, damage)],
                             {"replace": {path: change(data)}, "packed": path == ARCHIVE,
                              "frames": frames}))
        self.check_rows(rows)


if __name__ == "__main__":
    unittest.main()
