// zrn steps GAME_DIR: the game's wall and exit scan as a service for map builders, so
// that they check their maps with the game's own code instead of a copy of it. Reads
// the maps' base and attribute files of a game folder (or archive), then answers one
// line for each query line on stdin:
//   start                       -> FROM_X FROM_Z TO_X TO_Z   the lead's first step
//   attribute V                 -> none | wall SIDES | exit MAP X Z
//                                  (SIDES: down, right, up, left joined by "+", the
//                                  neighbours a walker is kept out from)
//   step MAP FROM_X FROM_Z TO_X TO_Z -> X Z EXIT   where the step ends; EXIT 1 when it
//                                  began a map change
#include "map_steps.h"
#include "zrn_commands.h"

#include "archive/archive.h"
#include "field/map_files.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace {

constexpr const char* COMMAND = "steps";

struct LoadedMaps {
    bool loaded[MAP_COUNT + 1] = {};
    AttributeGrid grids[MAP_COUNT + 1] = {};
};

bool ReadMapFiles(const char* path, LintFiles* files) {
    bool complete = false;
    if (!LoadIndexForTool(COMMAND, path, &complete))
        return false;
    for (int map = 1; map <= MAP_COUNT; ++map) {
        for (const int kind : {MAP_FILE_BASE, MAP_FILE_ATTRIBUTE}) {
            const char* key = g_mapFileNames[kind][map];
            const auto entry = g_archiveIndex.find(key);
            if (entry == g_archiveIndex.end())
                continue;
            std::string bytes(DecodedLength(entry->second) + 1, '\0');
            if (FAILED(ReadArchiveFile(key, bytes.data()))) {
                PrintError(COMMAND, std::string("cannot read ") + key);
                return false;
            }
            bytes.pop_back();
            (*files)[key] = bytes;
        }
    }
    return true;
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string DescribeAttribute(int value) {
    const AttributeKind& kind = AttributeKindOf(value);
    if (kind.effect == AttributeKind::EXIT)
        return "exit " + std::to_string(kind.exitStep.destination) + " " +
               Number(kind.exitStep.arrivalX) + " " + Number(kind.exitStep.arrivalZ);
    if (kind.effect == AttributeKind::NONE)
        return "none";
    std::string sides;
    for (const auto& [bit, name] : {std::pair{SIDE_DOWN, "down"}, std::pair{SIDE_RIGHT, "right"},
                                    std::pair{SIDE_UP, "up"}, std::pair{SIDE_LEFT, "left"}}) {
        if (kind.facedSides & bit)
            sides += (sides.empty() ? "" : "+") + std::string(name);
    }
    return "wall " + (sides.empty() ? std::string("-") : sides);
}

// The answer to one query line; false with a message for a query it cannot answer.
bool Answer(const std::string& line, const LoadedMaps& maps, std::string* answer) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    if (verb == "start") {
        float fromX, fromZ, toX, toZ;
        LeadFirstStep(&fromX, &fromZ, &toX, &toZ);
        *answer = Number(fromX) + " " + Number(fromZ) + " " + Number(toX) + " " + Number(toZ);
        return true;
    }
    if (verb == "attribute") {
        int value;
        if (!(in >> value))
            return false;
        *answer = DescribeAttribute(value);
        return true;
    }
    if (verb == "step") {
        int map;
        float fromX, fromZ, toX, toZ;
        if (!(in >> map >> fromX >> fromZ >> toX >> toZ) || map < 1 || map > MAP_COUNT ||
            !maps.loaded[map])
            return false;
        UseAttributeGrid(maps.grids[map]);
        const MapStep step = TakeMapStep(fromX, fromZ, toX, toZ);
        *answer = Number(step.x) + " " + Number(step.z) + (step.exit ? " 1" : " 0");
        return true;
    }
    return false;
}

} // namespace

int RunStepsCommand(int argc, char** argv) {
    if (argc != 2)
        return ReportUsageError(argv[0]);
    LintFiles files;
    if (!ReadMapFiles(argv[1], &files))
        return EXIT_PROBLEM;
    auto maps = std::make_unique<LoadedMaps>();
    for (int map = 1; map <= MAP_COUNT; ++map) {
        std::vector<LintToken> tokens;
        int columns = 0, rows = 0;
        maps->loaded[map] =
            LoadAttributeGrid(files, map, &maps->grids[map], &tokens, &columns, &rows);
    }
    std::string line, answer;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (!Answer(line, *maps, &answer)) {
            PrintError(COMMAND, "line " + std::to_string(number) + ": cannot answer '" + line +
                                    "' (a map without a base file the game accepts, or not "
                                    "one of start, attribute V, step MAP X Z X Z)");
            return EXIT_PROBLEM;
        }
        std::fputs(answer.c_str(), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}
