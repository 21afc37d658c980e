#!/usr/bin/env python3
"""Turns the UTF-8 scenario scripts into what the game reads: Shift-JIS (CP932)
text with CR LF line ends, and the file list ./Scenario/fileNameList.txt that
gives each script its slot (its line number; "NONE" for an empty slot).

It refuses what would show wrongly in the message window: characters CP932
cannot hold, single-byte text outside tags (it would not show), and lines of
more than 24 characters (the window holds 25 and would break them itself).

usage: convert_scripts.py SOURCE_DIR OUT_DIR
"""
import os
import re
import sys

SLOTS = 100
SLOT_SIZE = 65534
MAX_LINE = 24


def Fail(message):
    sys.exit("convert_scripts: " + message)


def ReadList(path):
    slots = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            slot, name = line.split()
            if not 0 <= int(slot) < SLOTS or int(slot) in slots:
                Fail("%s:%d: bad or repeated slot %s" % (path, number, slot))
            slots[int(slot)] = name
    return slots


def CheckLine(where, line):
    if line.startswith(";") or line.startswith("*"):
        if not line.isascii() or "[" in line:
            Fail("%s: comment and label lines take plain ASCII without '['" % where)
        return
    text = re.sub(r"\[[^\]]*\]", "", line)
    if text.endswith("\\"):
        text = text[:-1]
    stray = [c for c in text if ord(c) < 0x80]
    if stray:
        Fail("%s: single-byte text %r outside tags would not show" % (where, "".join(stray)))
    if len(text) > MAX_LINE:
        Fail("%s: %d characters on one line, at most %d fit" % (where, len(text), MAX_LINE))


def Convert(source_path, out_path):
    with open(source_path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for number, line in enumerate(lines, 1):
        CheckLine("%s:%d" % (os.path.basename(source_path), number), line)
    try:
        data = "".join(line + "\r\n" for line in lines).encode("cp932")
    except UnicodeEncodeError as error:
        Fail("%s: %s" % (source_path, error))
    if len(data) > SLOT_SIZE:
        Fail("%s: %d bytes, a script slot holds %d" % (source_path, len(data), SLOT_SIZE))
    with open(out_path, "wb") as f:
        f.write(data)


def main():
    source_dir, out_dir = sys.argv[1:3]
    os.makedirs(out_dir, exist_ok=True)
    slots = ReadList(os.path.join(source_dir, "list.txt"))
    names = []
    for slot in range(SLOTS):
        if slot in slots:
            Convert(os.path.join(source_dir, slots[slot]), os.path.join(out_dir, slots[slot]))
            names.append("./Scenario/" + slots[slot])
        else:
            names.append("NONE")
    with open(os.path.join(out_dir, "fileNameList.txt"), "wb") as f:
        f.write("".join(name + "\r\n" for name in names).encode("cp932"))


if __name__ == "__main__":
    main()
