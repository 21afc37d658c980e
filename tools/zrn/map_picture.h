// Where the things of a map lie in the picture zrn map draws of it, so that lint's map
// warnings name the pixel an author finds them at, and the picture rings them there.
#pragma once

#include "lint_report.h"

#include <string>
#include <vector>

constexpr int MAP_PICTURE_PIXELS_PER_UNIT = 16;
constexpr int MAP_CELL_UNITS = 2; // world units of a map cell

// North up: world x to the right, world z upwards from the picture's bottom edge.
struct MapPicture {
    int width = 0, height = 0;
    float depth = 0.0f; // world units north to south
    int PixelX(float x) const;
    int PixelY(float z) const;
};
// false when the map has no base file the game accepts.
bool LoadMapPicture(const LintFiles& files, int map, MapPicture* picture);

// The map whose file key is (1 to 3), 0 for a key of no map file.
int MapOfLintKey(const std::string& key);

// A character or a marker that a map's files place: the line that records it.
struct MapPlace {
    std::string key;
    int line;
    float x, z;
    int number; // the character's number, or the scenario slot the marker starts
    bool marker;
};
std::vector<MapPlace> MapPlaces(const LintFiles& files, const LintFacts& facts, int map);

// The map a warning is about (0 for none) and its point in that map's picture: the
// attribute cell it names when that lies on the map, else the place of the character or
// marker its line records;
// *inside tells whether the point lies within the picture. false for a warning that has
// no place on a map.
bool LocateMapWarning(const LintFiles& files, const LintFacts& facts, const LintProblem& problem,
                      int* map, int* x, int* y, bool* inside);
// Adds " [zrn map N: picture (x, y)]" to every warning that has a place on map N
// (", outside the picture" when the place lies beyond its edges).
void NamePicturePoints(const LintFiles& files, const LintFacts& facts, LintReport* report);
