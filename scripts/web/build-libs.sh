#!/usr/bin/env bash
# Builds SDL2, libogg, libvorbis and FreeType for the browser from Debian's own source
# packages into build-web/deps/ (include/ and lib/). A library already in lib/ is kept:
# delete build-web/deps to build them all again.
set -euo pipefail
cd "$(dirname "$0")/../.."

WEB=$PWD/build-web
SRC=$WEB/src
DEPS=$WEB/deps
OBJ=$WEB/deps-obj
JOBS=${JOBS:-2}
CFLAGS=(-O2 -w)
mkdir -p "$SRC" "$DEPS/include" "$DEPS/lib" "$OBJ"

# deb-src entries for bookworm, so that apt-get source can fetch from Debian's archive.
ensure_sources() {
  local list=/etc/apt/sources.list.d/tavelle-web-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    cat >"$list" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt-get update -q
  fi
}

# Unpacks Debian's source package PACKAGE into $SRC and prints its folder.
unpack_source() {
  local package=$1 dir
  dir=$(find "$SRC" -maxdepth 1 -type d -name "$package-[0-9]*" | head -n1)
  if [ -z "$dir" ]; then
    ensure_sources
    (cd "$SRC" && apt-get source --download-only "$package" >&2 &&
      dpkg-source -x "$(ls "$package"_*.dsc | head -n1)" >&2)
    dir=$(find "$SRC" -maxdepth 1 -type d -name "$package-[0-9]*" | head -n1)
  fi
  echo "$dir"
}

# emcc starts a Python program for every file it compiles, which costs more than
# compiling most of these files; its compiler is called directly instead, with the
# flags emcc itself would give it.
LLVM=$(em-config LLVM_ROOT)
read -r -a EMCC_FLAGS <<<"$(emcc --cflags)"

# Compiles the C files given on stdin into one static library NAME with FLAGS.
compile_library() {
  local name=$1
  shift
  local objdir=$OBJ/$name
  rm -rf "$objdir"
  mkdir -p "$objdir"
  # One object per source; the path becomes the object's name so that equal names do not clash.
  xargs -P "$JOBS" -I{} sh -c 'o="$1/$(echo "$2" | tr / _).o"; shift 2; "$@" -c "$0" -o "$o"' \
    {} "$objdir" {} "$LLVM/clang" "${EMCC_FLAGS[@]}" "${CFLAGS[@]}" "$@"
  "$LLVM/llvm-ar" rcs "$DEPS/lib/lib$name.a" "$objdir"/*.o
  rm -rf "$objdir"
}

build_ogg() {
  [ -f "$DEPS/lib/libogg.a" ] && return
  local dir
  dir=$(unpack_source libogg)
  mkdir -p "$DEPS/include/ogg"
  cp "$dir"/include/ogg/ogg.h "$dir"/include/ogg/os_types.h "$DEPS/include/ogg/"
  cat >"$DEPS/include/ogg/config_types.h" <<'TYPES'
#ifndef __CONFIG_TYPES_H__
#define __CONFIG_TYPES_H__
#include <stdint.h>
typedef int16_t ogg_int16_t;
typedef uint16_t ogg_uint16_t;
typedef int32_t ogg_int32_t;
typedef uint32_t ogg_uint32_t;
typedef int64_t ogg_int64_t;
typedef uint64_t ogg_uint64_t;
#endif
TYPES
  printf '%s\n' "$dir"/src/framing.c "$dir"/src/bitwise.c | compile_library ogg -I"$DEPS/include"
}

build_vorbis() {
  [ -f "$DEPS/lib/libvorbis.a" ] && return
  local dir
  dir=$(unpack_source libvorbis)
  mkdir -p "$DEPS/include/vorbis"
  cp "$dir"/include/vorbis/codec.h "$dir"/include/vorbis/vorbisfile.h "$DEPS/include/vorbis/"
  # The decoder and vorbisfile; the encoder and the tuning tools are not needed.
  find "$dir/lib" -maxdepth 1 -name '*.c' ! -name barkmel.c ! -name psytune.c ! -name tone.c \
    ! -name vorbisenc.c | compile_library vorbis -I"$DEPS/include" -I"$dir/include" -I"$dir/lib"
}

build_freetype() {
  [ -f "$DEPS/lib/libfreetype.a" ] && return
  local dir
  dir=$(unpack_source freetype)
  rm -rf "$DEPS/include/freetype2"
  mkdir -p "$DEPS/include/freetype2"
  cp -r "$dir"/include/ft2build.h "$dir"/include/freetype "$DEPS/include/freetype2/"
  # The modules a TrueType Gothic needs: no compressed fonts, no bitmap or Type 1 faces.
  cat >"$DEPS/include/freetype2/freetype/config/ftmodule.h" <<'MODULES'
FT_USE_MODULE( FT_Module_Class, autofit_module_class )
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, psnames_module_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
MODULES
  # Without zlib: the game's fonts are plain TrueType, never compressed WOFF or PCF.
  sed -i 's|^#define FT_CONFIG_OPTION_USE_ZLIB|/* #undef FT_CONFIG_OPTION_USE_ZLIB */|' \
    "$DEPS/include/freetype2/freetype/config/ftoption.h"
  printf '%s\n' "$dir"/src/base/{ftsystem,ftinit,ftdebug,ftbase,ftbitmap,ftglyph,ftbbox}.c \
    "$dir"/src/{autofit/autofit,truetype/truetype,psnames/psnames,sfnt/sfnt,smooth/smooth}.c |
    compile_library freetype -DFT2_BUILD_LIBRARY -I"$DEPS/include/freetype2"
}

# SDL needs no configure step for the browser: SDL_config.h picks its emscripten
# settings by itself, so the sources SDL's own build chooses there are compiled directly.
build_sdl() {
  [ -f "$DEPS/lib/libSDL2.a" ] && return
  local dir
  dir=$(unpack_source libsdl2)
  rm -rf "$DEPS/include/SDL2"
  mkdir -p "$DEPS/include/SDL2"
  cp "$dir"/include/*.h "$DEPS/include/SDL2/"
  local s=$dir/src
  {
    ls "$s"/*.c "$s"/{atomic,audio,cpuinfo,dynapi,events,file,haptic,joystick,libm,locale,misc,power,render,sensor,stdlib,thread,timer,video}/*.c
    ls "$s"/render/{software,opengles2}/*.c "$s"/video/yuv2rgb/*.c
    ls "$s"/audio/{emscripten,dummy,disk}/*.c "$s"/video/{emscripten,dummy,offscreen}/*.c
    ls "$s"/{filesystem,joystick,power,locale,misc}/emscripten/*.c "$s"/joystick/virtual/*.c
    ls "$s"/timer/unix/*.c "$s"/thread/generic/*.c "$s"/loadso/dlopen/*.c
    ls "$s"/haptic/dummy/*.c "$s"/sensor/dummy/*.c
  } | compile_library SDL2 -I"$dir/include" -I"$s"
}

build_ogg
build_vorbis
build_freetype
build_sdl
ls -l "$DEPS/lib"
