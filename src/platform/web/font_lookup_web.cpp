// The page ships one Japanese Gothic face and puts it where the game looks for it.
#include "platform/text/font_lookup.h"

#include <cstdio>

namespace {

constexpr const char* WEB_FONT_FILE = "/tavelle/font/gothic.ttf";
constexpr const char* WEB_FONT_FAMILY = "IPAGothic";

} // namespace

bool FindFontFile(const char*, FontFile* match) {
    std::FILE* file = std::fopen(WEB_FONT_FILE, "rb");
    if (!file)
        return false;
    std::fclose(file);
    match->file = WEB_FONT_FILE;
    match->index = 0;
    match->family = WEB_FONT_FAMILY;
    return true;
}
