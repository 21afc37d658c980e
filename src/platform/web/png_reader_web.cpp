// The web player reads packed archives only, which hold bitmaps: it carries no PNG
// decoder, and a PNG met in a folder says so instead of showing nothing.
#include "platform/gfx/png_reader.h"

bool DecodePng(const std::uint8_t*, std::size_t, std::uint32_t, PngPixels*, std::string* error) {
    *error = "the web player reads no PNG files: pack the game with zrn pack, which turns "
             "them into bitmaps";
    return false;
}
