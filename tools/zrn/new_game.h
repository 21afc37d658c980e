// zrn new: the starter game's files, each made by this tool itself. Every writer puts
// its files below a game folder and returns false after printing what failed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One file of the new game: a path below the game folder and its bytes.
struct NewGameFile {
    std::string path;
    std::vector<std::uint8_t> bytes;
};
using NewGameFiles = std::vector<NewGameFile>;

// An RGB image, row 0 at the top.
struct NewImage {
    int width, height;
    std::vector<std::uint8_t> rgb;
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
};
NewImage MakeImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

void AddNewGamePictures(NewGameFiles* files);
void AddNewGameModels(NewGameFiles* files);
void AddNewGameMaps(NewGameFiles* files);
void AddNewGameScripts(NewGameFiles* files);
// false when the music cannot be encoded (the reason is in *why).
bool AddNewGameSound(NewGameFiles* files, std::string* why);
