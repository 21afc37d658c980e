#!/usr/bin/env python3
"""The golden frames of the field renderer: the demo's three maps in fog, a frame
halfway into the fade of a map change, and a scene with a portrait over the field,
each on the float and on the integer depth path.

Regenerate them (after a change that is meant to alter the picture) with

    python3 tests/e2e/golden_frames.py [BUILD_DIR]

which runs BUILD_DIR/tavelle-play (default: build) on BUILD_DIR/game and writes the
PNGs into tests/golden/. test_golden_frames.py captures the same frames and compares
them with those files.

Map 3 lies at the end of the story; rather than play there, its frame comes from a
copy of the demo archive whose map 1 files are map 3's, so the game starts on it.
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
GOLDEN_DIR = os.path.join(os.path.dirname(HERE), "golden")

# One input script from the start of the demo: the square's marker scene read to its
# end, a walk to the forest gate, and the talk to Daskel on map 2, which opens with
# his portrait, whose first line then waits for a click. The pointer positions are the ground points the playthrough test aims
# at, projected through map 1's and map 2's cameras.
SQUARE_CLICK = (719, 468)
WALK_CLICKS = [(1046, (784, 416)), (1077, (529, 429)), (1136, (528, 270)), (1189, (544, 220))]
# Daskel's woodpile is reached through the gap in its fence, from the path above it:
# the walk goes there first (aimed by the driver through map 2's camera).
DASKEL_GAP = (1478, (24.8, 20.8))
DASKEL_STAND = (1540, (264, 548))
DASKEL_SWEEP_START = 1556
DASKEL_SWEEP = [(271, 527), (273, 521), (275, 514), (278, 506), (280, 499), (283, 492),
                (285, 484), (288, 478), (290, 470), (292, 463), (295, 455), (298, 448),
                (300, 441), (302, 433), (305, 426), (308, 418), (310, 412), (312, 404)]

# Frame number -> golden name, for the run on the demo data as it is.
STORY_FRAMES = {
    25: "map1-fog",
    1260: "fade-midpoint",
    1470: "map2-fog",
    1700: "scene-portrait",
}
MAP3_FRAME = 25

# The depth paths, with the driver's options that choose them: the float depth
# targets, and the integer ones the game takes when the device refuses float render
# targets.
DEPTH_PATHS = {
    "float": [],
    "integer": ["--refuse", "float-targets"],
}

HEADLESS = {
    "SDL_VIDEODRIVER": "offscreen",
    "SDL_AUDIODRIVER": "dummy",
    "MESA_GL_VERSION_OVERRIDE": "3.3",
    "MESA_GLSL_VERSION_OVERRIDE": "330",
}


def StoryInput():
    lines = ["30 click %d %d" % SQUARE_CLICK]
    lines += ["%d click %d %d" % (frame, *SQUARE_CLICK) for frame in range(32, 1041, 6)]
    lines += ["%d click %d %d" % (frame, *pointer) for frame, pointer in WALK_CLICKS]
    lines.append("%d clickat %r %r" % (DASKEL_GAP[0], *DASKEL_GAP[1]))
    lines.append("%d click %d %d" % (DASKEL_STAND[0], *DASKEL_STAND[1]))
    for k, pointer in enumerate(DASKEL_SWEEP):
        lines.append("%d click %d %d" % (DASKEL_SWEEP_START + 4 * k, *pointer))
    return "\n".join(lines) + "\n"


def Play(play, data_dir, frames, shots, options, work, input_text="", draw="all"):
    """Runs tavelle-play with more options; returns {name: PNG path} and its stderr, or
    raises."""
    args = [play, "--data", data_dir, "--frames", str(frames), "--draw", draw, *options]
    if input_text:
        path = os.path.join(work, "input.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(input_text)
        args += ["--input", path]
    written = {}
    for frame, name in shots.items():
        written[name] = os.path.join(work, name + ".png")
        args += ["--shot", "%d:%s" % (frame, written[name])]
    full_env = dict(os.environ)
    full_env.update(HEADLESS)
    proc = subprocess.run(args, capture_output=True, env=full_env, timeout=1200)
    stderr = proc.stderr.decode("utf-8", "replace")
    if proc.returncode != 0 or "MESSAGE " in stderr:
        raise RuntimeError("tavelle-play failed: %s" % stderr)
    return written, stderr


def Map3Data(zrn, game_dir, work):
    """A copy of the demo data whose map 1 is map 3."""
    data = os.path.join(work, "map3")
    unpacked = os.path.join(work, "map3-unpacked")
    shutil.copytree(game_dir, data, ignore=shutil.ignore_patterns("ZRN.dat"))
    subprocess.run([zrn, "unpack", os.path.join(game_dir, "ZRN.dat"), unpacked], check=True,
                   capture_output=True)
    maps = os.path.join(unpacked, "Data")
    for name in os.listdir(maps):
        if name.startswith("map3"):
            shutil.copyfile(os.path.join(maps, name), os.path.join(maps, "map1" + name[4:]))
    subprocess.run([zrn, "pack", os.path.join(data, "ZRN.dat"), "--root", unpacked], check=True,
                   capture_output=True)
    return data


def Capture(build_dir, work, paths=DEPTH_PATHS, story_frames=None, draw="all"):
    """Captures the golden frames of the given depth paths below work (of the story
    run, those of story_frames, all by default; with draw="shots" only the frames
    shot are rasterised); returns {file name: PNG path} and {path name: [stderr of
    each run]}."""
    story_frames = story_frames or STORY_FRAMES
    play = os.path.join(build_dir, "tavelle-play")
    zrn = os.path.join(build_dir, "zrn")
    game_dir = os.path.join(build_dir, "game")
    map3 = Map3Data(zrn, game_dir, os.path.join(work, "data"))
    frames = {}
    errors = {}
    for path_name, options in paths.items():
        out = os.path.join(work, path_name)
        os.makedirs(out)
        shots, story_err = Play(play, game_dir, max(story_frames) + 1, story_frames, options,
                                out, StoryInput(), draw)
        map3_shots, map3_err = Play(play, map3, MAP3_FRAME + 1, {MAP3_FRAME: "map3-fog"},
                                    options, out, draw=draw)
        shots.update(map3_shots)
        errors[path_name] = [story_err, map3_err]
        for name, path in shots.items():
            frames["%s-%s.png" % (name, path_name)] = path
    return frames, errors


def main():
    # Imported here: the browser tests read the story input above without Pillow.
    from PIL import Image

    build_dir = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    work = tempfile.mkdtemp(prefix="tavelle-golden-")
    try:
        frames, _ = Capture(build_dir, work)
        os.makedirs(GOLDEN_DIR, exist_ok=True)
        for name, path in sorted(frames.items()):
            # The window shows red, green and blue only.
            Image.open(path).convert("RGB").save(os.path.join(GOLDEN_DIR, name), optimize=True)
            print(os.path.join(GOLDEN_DIR, name))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
