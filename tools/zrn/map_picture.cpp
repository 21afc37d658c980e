#include "map_picture.h"
#include "map_view.h"

#include "core/tokenizer.h"
#include "field/map_files.h"

#include <cmath>
#include <cstdio>

namespace {

// A warning about an attribute cell names it as "cell (c, r)".
bool CellOfWarning(const std::string& text, int* c, int* r) {
    const std::size_t at = text.find("cell (");
    return at != std::string::npos && std::sscanf(text.c_str() + at, "cell (%d, %d)", c, r) == 2;
}

} // namespace

int MapOfLintKey(const std::string& key) {
    for (int map = 1; map <= MAP_COUNT; ++map)
        for (int kind = 0; kind < MAP_FILE_KIND_COUNT; ++kind)
            if (key == g_mapFileNames[kind][map])
                return map;
    return 0;
}

int MapPicture::PixelX(float x) const {
    return static_cast<int>(std::lround(x * MAP_PICTURE_PIXELS_PER_UNIT));
}

int MapPicture::PixelY(float z) const {
    return static_cast<int>(std::lround((depth - z) * MAP_PICTURE_PIXELS_PER_UNIT));
}

bool LoadMapPicture(const LintFiles& files, int map, MapPicture* picture) {
    MapBase parsed = {};
    if (!ReadMapBase(files, map, &parsed))
        return false;
    picture->width = parsed.W * MAP_CELL_UNITS * MAP_PICTURE_PIXELS_PER_UNIT;
    picture->height = parsed.H * MAP_CELL_UNITS * MAP_PICTURE_PIXELS_PER_UNIT;
    picture->depth = static_cast<float>(parsed.H * MAP_CELL_UNITS);
    return true;
}

std::vector<MapPlace> MapPlaces(const LintFiles& files, const LintFacts& facts, int map) {
    std::vector<MapPlace> places;
    for (const PlacedCharacter& character : facts.characters) {
        if (character.map == map)
            places.push_back(
                {character.key, character.line, character.x, character.z, character.number, false});
    }
    const auto events = files.find(g_mapFileNames[MAP_FILE_EVENT][map]);
    if (events == files.end())
        return places;
    const std::vector<LintToken> tokens = TokenizeLikeGame(DataTextOf(events->second));
    // The count, then kind, flag, x, y, z, size, reserved, slot for each marker.
    const int count = tokens.empty() ? 0 : TokenToInt(tokens[0].text.c_str());
    for (int k = 0; k < count && 1 + 8 * (k + 1) <= static_cast<int>(tokens.size()); ++k) {
        const LintToken* t = &tokens[static_cast<std::size_t>(1 + 8 * k)];
        places.push_back({g_mapFileNames[MAP_FILE_EVENT][map], t[0].line,
                          TokenToFloat(t[2].text.c_str()), TokenToFloat(t[4].text.c_str()),
                          TokenToInt(t[7].text.c_str()), true});
    }
    return places;
}

bool LocateMapWarning(const LintFiles& files, const LintFacts& facts, const LintProblem& problem,
                      int* map, int* x, int* y, bool* inside) {
    *map = MapOfLintKey(problem.key);
    MapPicture picture;
    if (*map == 0 || !LoadMapPicture(files, *map, &picture))
        return false;
    const auto inPicture = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < picture.width && py < picture.height;
    };
    // The cell a warning names is where to mend it (a pen's open corner, an exit), unless
    // it lies off the map; then the character or marker the warning's line records.
    int c = 0, r = 0;
    const bool named = CellOfWarning(problem.text, &c, &r);
    // Attribute cells are one world unit.
    const int cellX = picture.PixelX(static_cast<float>(c) + 0.5f);
    const int cellY = picture.PixelY(static_cast<float>(r) + 0.5f);
    bool found = named && inPicture(cellX, cellY);
    if (found)
        *x = cellX, *y = cellY;
    for (const MapPlace& place : MapPlaces(files, facts, *map)) {
        if (!found && place.key == problem.key && place.line == problem.line) {
            *x = picture.PixelX(place.x);
            *y = picture.PixelY(place.z);
            found = true;
        }
    }
    if (!found && named)
        *x = cellX, *y = cellY, found = true;
    *inside = found && inPicture(*x, *y);
    return found;
}

void NamePicturePoints(const LintFiles& files, const LintFacts& facts, LintReport* report) {
    for (LintProblem& problem : report->problems) {
        int map = 0, x = 0, y = 0;
        bool inside = false;
        if (LocateMapWarning(files, facts, problem, &map, &x, &y, &inside))
            problem.text += " [zrn map " + std::to_string(map) + ": picture (" + std::to_string(x) +
                            ", " + std::to_string(y) + ")" +
                            (inside ? "" : ", outside the picture") + "]";
    }
}
