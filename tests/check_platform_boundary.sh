#!/usr/bin/env bash
# Fails when a game source includes SDL, OpenGL, FreeType or fontconfig headers:
# only src/platform may see them.
set -u
src=${1:?usage: check_platform_boundary.sh SRC_DIR}
hits=$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](SDL|epoxy/|GL/|ft2build|freetype/|fontconfig/)' \
  "$src" --include='*.cpp' --include='*.h' | grep -v "^$src/platform/")
if [ -n "$hits" ]; then
  echo "game code includes platform libraries directly:"
  echo "$hits"
  exit 1
fi
echo "platform boundary kept"
