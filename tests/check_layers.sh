#!/usr/bin/env bash
# Fails when a game folder includes a folder at its own level or above it: the
# dependencies between the folders of src/ point one way, down this table.
#   check_layers.sh SRC_DIR   check a source tree
#   check_layers.sh --self-test   prove the check fails on planted wrong includes
set -u

# Folder and level, bottom first. A folder may include only folders of a lower level.
LAYERS="platform:0 core:1 archive:2 sound:2 render:3 scenario:4 field:5 scene:6 app:7"

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
        folder=${file#"$src"/}
        folder=${folder%%/*}
        level=$(level_of "$folder")
        [ -n "$level" ] || continue
        while IFS= read -r line; do
            target=${line#*\"}
            target=${target%%/*}
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
    mkdir -p "$tree"/{core,archive,sound,render,app}
    printf '#include "core/frame_state.h"\n#include "platform/win_types.h"\n' >"$tree/render/ok.cpp"
    printf '#include "render/ok.h"\n#include "core/x.h"\n#include <vector>\n' >"$tree/app/ok.cpp"
    if ! output=$(check_tree "$tree"); then
        echo "self-test: a tree of downward includes was refused:"
        echo "$output"
        status=1
    fi
    printf '#include "app/input.h"\n' >"$tree/render/upward.cpp"
    printf '#include "sound/music.h"\n' >"$tree/archive/sideways.h"
    if output=$(check_tree "$tree"); then
        echo "self-test: planted upward and sideways includes were not found"
        status=1
    fi
    if ! grep -q '^render/upward.cpp:1: render (level 3) includes app (level 7): #include "app/input.h"$' <<<"$output" ||
        ! grep -q '^archive/sideways.h:1: archive (level 2) includes sound (level 2)' <<<"$output" ||
        [ "$(wc -l <<<"$output")" -ne 2 ]; then
        echo "self-test: the report does not name exactly the two planted includes:"
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
