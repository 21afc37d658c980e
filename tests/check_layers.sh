#!/usr/bin/env bash
# Fails when a folder includes a folder at its own level or above it: the
# dependencies between the folders of src/ and the parts of src/platform point one
# way, down this table. The build's link checks see only calls; this sees what a
# header alone carries (a constant, an inline function, a record's layout).
#   check_layers.sh SRC_DIR   check a source tree
#   check_layers.sh --self-test   prove the check fails on planted wrong includes
set -u

# Folder and level, bottom first. A folder may include only folders of a lower level.
# "platform" is the files directly in src/platform that every part shares; its web
# folder holds stand-ins for several parts and is left out.
LAYERS="platform:0 platform/text:1 platform/files:1
platform/clock:2 platform/input:2 platform/audio:2 platform/gfx:2 platform/window:2 platform/system:3
core:4 archive:5 sound:5 render:6 scenario:7 field:8 scene:9 app:10"

# The folder a path below src/ belongs to: its first folder, or for src/platform the
# part's folder beneath it.
folder_of() {
    local first=${1%%/*} rest=${1#*/}
    if [ "$first" = platform ] && [ "${rest%/*}" != "$rest" ]; then
        echo "platform/${rest%%/*}"
    else
        echo "$first"
    fi
}

level_of() {
    local entry
    for entry in $LAYERS; do
        if [ "${entry%%:*}" = "$1" ]; then
            echo "${entry##*:}"
            return
        fi
    done
}

# Prints every include that points sideways or up; the status is 1 when there is one.
check_tree() {
    local src=$1 found=0 file folder level line target target_level
    while IFS= read -r file; do
        folder=$(folder_of "${file#"$src"/}")
        level=$(level_of "$folder")
        [ -n "$level" ] || continue
        while IFS= read -r line; do
            target=${line#*\"}
            target=$(folder_of "${target%%\"*}")
            [ "$target" = "$folder" ] && continue
            target_level=$(level_of "$target")
            [ -n "$target_level" ] || continue
            if [ "$target_level" -ge "$level" ]; then
                echo "${file#"$src"/}:${line%%:*}: $folder (level $level) includes $target (level $target_level): ${line#*:}"
                found=1
            fi
        done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$file")
    done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
    return $found
}

self_test() {
    local tree output status=0
    tree=$(mktemp -d)
    mkdir -p "$tree"/{core,archive,sound,render,app} "$tree"/platform/{input,window,gfx}
    printf '#include "core/frame_state.h"\n#include "platform/win_types.h"\n' >"$tree/render/ok.cpp"
    printf '#include "render/ok.h"\n#include "core/x.h"\n#include <vector>\n' >"$tree/app/ok.cpp"
    printf '#include "platform/frame_fit.h"\n#include "platform/gfx/mesh.h"\n' >"$tree/platform/gfx/ok.cpp"
    if ! output=$(check_tree "$tree"); then
        echo "self-test: a tree of downward includes was refused:"
        echo "$output"
        status=1
    fi
    printf '#include "app/input.h"\n' >"$tree/render/upward.cpp"
    printf '#include "sound/music.h"\n' >"$tree/archive/sideways.h"
    printf '#include "platform/window/window.h"\n' >"$tree/platform/input/sideways.cpp"
    if output=$(check_tree "$tree"); then
        echo "self-test: planted upward and sideways includes were not found"
        status=1
    fi
    if ! grep -q '^render/upward.cpp:1: render (level 6) includes app (level 10): #include "app/input.h"$' <<<"$output" ||
        ! grep -q '^archive/sideways.h:1: archive (level 5) includes sound (level 5)' <<<"$output" ||
        ! grep -q '^platform/input/sideways.cpp:1: platform/input (level 2) includes platform/window (level 2)' <<<"$output" ||
        [ "$(wc -l <<<"$output")" -ne 3 ]; then
        echo "self-test: the report does not name exactly the three planted includes:"
        echo "$output"
        status=1
    fi
    rm -rf "$tree"
    [ $status -eq 0 ] && echo "layer check self-test passed"
    return $status
}

if [ "${1:-}" = "--self-test" ]; then
    self_test
    exit $?
fi
src=${1:?usage: check_layers.sh SRC_DIR | --self-test}
if ! check_tree "$src"; then
    echo "a folder includes one at its own level or above (order, bottom first: $LAYERS)"
    exit 1
fi
echo "layers kept"
