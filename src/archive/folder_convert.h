// Files that today's tools write, in a game folder: a script saved as UTF-8 and a PNG
// picture are turned into what the game reads (Shift-JIS text, a bitmap). Folder mode
// converts them when it serves them and the packing tool when it packs them, so the
// game gets the same bytes either way and an archive only ever holds what it reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Texts larger than this are served as they are (a script slot holds 65,534 bytes).
constexpr std::uint64_t FOLDER_TEXT_CONVERSION_LIMIT = 16u << 20;

enum FolderConversion {
    FOLDER_AS_IS,
    FOLDER_TEXT, // a ".txt" text: Shift-JIS as it is, UTF-8 (with or without BOM) converted
    FOLDER_PNG,  // a ".png" picture standing in for the ".bmp" key of its name
};

// What a file needs, by its key (the Shift-JIS form of its path). A ".png" key
// becomes the ".bmp" key that the picture is served under.
FolderConversion FolderConversionOfKey(std::string* key);

// A BOM, or multi-byte sequences that are all well formed, which Shift-JIS text
// practically never is (its kana trail bytes are UTF-8's continuation bytes without a
// lead).
bool LooksLikeUtf8(const std::string& text);

struct FolderConverted {
    std::vector<std::uint8_t> bytes; // what the game reads
    bool changed = false;            // the file was UTF-8 or a PNG
    int line = 0;                    // the text's line that cannot be converted, 0 for none
    std::string problem;             // why it cannot be served, "" when it can
};

// false, with the problem (and for a text its line), when the file cannot become what
// the game reads: a character with no Shift-JIS form, a PNG that does not decode.
bool ConvertFolderFile(FolderConversion conversion, std::vector<std::uint8_t> file,
                       FolderConverted* out);
