// Where the font file of a named face is: fontconfig's choice on the desktop, the
// font shipped with the page in the browser.
#pragma once

#include <string>

struct FontFile {
    std::string file;
    int index = 0;
    std::string family;
};

// The face's file, else a Japanese sans-serif face's (said once on stderr). false
// when no face can be found at all.
bool FindFontFile(const char* faceName, FontFile* match);
