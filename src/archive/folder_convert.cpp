#include "archive/folder_convert.h"

#include "archive/bmp_encode.h"
#include "platform/gfx/png_reader.h"
#include "platform/gfx/texture_loader.h"
#include "platform/text/cp932.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* UTF8_BOM = "\xEF\xBB\xBF";

bool EndsWithNoCase(const std::string& text, const char* ending) {
    const std::string tail(ending);
    if (text.size() < tail.size())
        return false;
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
                      });
}

bool ConvertText(const std::string& file, FolderConverted* out) {
    const bool bom = file.compare(0, 3, UTF8_BOM) == 0;
    if (!LooksLikeUtf8(file)) {
        out->bytes.assign(file.begin(), file.end());
        return true;
    }
    const std::string text = bom ? file.substr(3) : file;
    std::string converted;
    Utf8Stop stop;
    if (!Utf8ToCp932(text, &converted, &stop)) {
        out->line = 1 + static_cast<int>(std::count(
                            text.begin(), text.begin() + static_cast<long>(stop.offset), '\n'));
        if (stop.codepoint == 0) {
            out->problem = "not UTF-8 text, though it starts with UTF-8's byte order mark";
        } else {
            char number[16];
            std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(stop.codepoint));
            // Named by its number: what lint and the game print is Shift-JIS, which has no
            // way to show the character itself.
            out->problem = std::string("the character ") + number +
                           " has no Shift-JIS (CP932) form; write it another way";
        }
        return false;
    }
    out->bytes.assign(converted.begin(), converted.end());
    out->changed = true;
    return true;
}

// Opaque pictures become 24-bit bitmaps; one with any see-through pixel keeps its
// alpha in a 32-bit one, which the game reads as A8R8G8B8.
bool ConvertPng(const std::vector<std::uint8_t>& file, FolderConverted* out) {
    PngPixels pixels;
    if (!DecodePng(file.data(), file.size(), IMAGE_MAX_SIDE, &pixels, &out->problem))
        return false;
    const auto width = static_cast<int>(pixels.width);
    const auto height = static_cast<int>(pixels.height);
    bool opaque = true;
    for (std::size_t i = 3; i < pixels.rgba.size() && opaque; i += 4)
        opaque = pixels.rgba[i] == 255;
    if (opaque) {
        std::vector<std::uint8_t> rgb;
        rgb.reserve(pixels.rgba.size() / 4 * 3);
        for (std::size_t i = 0; i < pixels.rgba.size(); i += 4)
            rgb.insert(rgb.end(), pixels.rgba.begin() + static_cast<long>(i),
                       pixels.rgba.begin() + static_cast<long>(i) + 3);
        out->bytes = EncodeBmp(width, height, rgb.data(), 3);
    } else {
        out->bytes = EncodeBmp(width, height, pixels.rgba.data(), 4);
    }
    out->changed = true;
    return true;
}

} // namespace

FolderConversion FolderConversionOfKey(std::string* key) {
    if (EndsWithNoCase(*key, ".txt"))
        return FOLDER_TEXT;
    if (!EndsWithNoCase(*key, ".png"))
        return FOLDER_AS_IS;
    key->replace(key->size() - 4, 4, ".bmp");
    return FOLDER_PNG;
}

bool LooksLikeUtf8(const std::string& text) {
    if (text.compare(0, 3, UTF8_BOM) == 0)
        return true;
    bool multiByte = false;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80                 ? 1
                           : b >= 0xC2 && b <= 0xDF ? 2
                           : b >= 0xE0 && b <= 0xEF ? 3
                           : b >= 0xF0 && b <= 0xF4 ? 4
                                                    : 0;
        if (length == 0 || i + static_cast<std::size_t>(length) > text.size())
            return false;
        for (int k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        }
        multiByte = multiByte || length > 1;
        i += static_cast<std::size_t>(length);
    }
    return multiByte;
}

bool ConvertFolderFile(FolderConversion conversion, std::vector<std::uint8_t> file,
                       FolderConverted* out) {
    *out = FolderConverted{};
    switch (conversion) {
    case FOLDER_TEXT:
        return ConvertText(std::string(file.begin(), file.end()), out);
    case FOLDER_PNG:
        return ConvertPng(file, out);
    case FOLDER_AS_IS:
        break;
    }
    out->bytes = std::move(file);
    return true;
}
