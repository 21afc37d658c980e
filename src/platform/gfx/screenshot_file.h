// The player's screenshots: PNG files of the 1024×768 frame in the pictures folder.
#pragma once

#include <cstdint>
#include <string>

// "$XDG_PICTURES_DIR/Tavelle" (from the environment or ~/.config/user-dirs.dirs),
// else "~/Pictures/Tavelle".
std::string ScreenshotFolder();
// Writes rgba (top row first) as a new, not yet existing file in the folder, created
// when missing. The file's path, or an empty string with *error set.
std::string SaveScreenshot(const std::uint8_t* rgba, int width, int height, std::string* error);
