// Playing a game folder unpacked (`--unpacked DIR`): what an author edits is what runs.
#pragma once

#include <string>

// DIR becomes the working directory, for the loose files (the loading picture, the
// sound), and every archive key is served from the files below it, even when a ZRN.dat
// lies there too. Returns an empty string, or why the folder cannot be entered.
std::string EnterUnpackedGameFolder(const char* dir);
