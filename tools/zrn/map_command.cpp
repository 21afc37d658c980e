// zrn map GAME_DIR N OUT.png: map N seen from above, north up, MAP_PICTURE_PIXELS_PER_UNIT
// pixels a world unit. The ground in its chips' mean colours, darker where it lies lower; walls
// as black lines on the edges they guard; exits filled in their destination's colour;
// characters (white discs) and markers (yellow diamonds) with their numbers; the lead's
// start on map 1 (a green cross); the ground the camera lets the player click, outlined
// in cyan; and every lint warning of the map ringed in red. The warnings are printed
// with the picture's coordinates of their marks.
#include "lint_report.h"
#include "map_picture.h"
#include "map_steps.h"
#include "map_view.h"
#include "zrn_commands.h"

#include "core/tokenizer.h"
#include "field/characters.h"
#include "field/map_files.h"

#include "platform/gfx/bmp_decode.h"
#include "platform/gfx/png_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* COMMAND = "map";
constexpr int ATLAS_TILES = 8;

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr Rgb BLACK = {0, 0, 0};
constexpr Rgb WHITE = {255, 255, 255};
constexpr Rgb RED = {230, 30, 30};
constexpr Rgb YELLOW = {250, 210, 40};
constexpr Rgb GREEN = {40, 200, 60};
constexpr Rgb CYAN = {40, 230, 230};
constexpr Rgb EXIT_COLOURS[MAP_COUNT + 1] = {
    {128, 128, 128}, {220, 90, 40}, {60, 110, 230}, {170, 70, 200}};

// Digits of 3 x 5 dots, a row in the low three bits of each number, top row first.
constexpr std::uint8_t DIGITS[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

struct Canvas : MapPicture {
    std::vector<std::uint8_t> rgba;

    void Put(int x, int y, Rgb colour, int alpha = 255) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
        p[0] = static_cast<std::uint8_t>((colour.r * alpha + p[0] * (255 - alpha)) / 255);
        p[1] = static_cast<std::uint8_t>((colour.g * alpha + p[1] * (255 - alpha)) / 255);
        p[2] = static_cast<std::uint8_t>((colour.b * alpha + p[2] * (255 - alpha)) / 255);
        p[3] = 255;
    }
};

void FillBox(Canvas* canvas, int x0, int y0, int x1, int y1, Rgb colour, int alpha = 255) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            canvas->Put(x, y, colour, alpha);
}

void DrawNumber(Canvas* canvas, int number, int x, int y, Rgb colour) {
    const std::string text = std::to_string(number);
    for (std::size_t k = 0; k < text.size(); ++k) {
        const std::uint8_t* rows = DIGITS[text[k] - '0'];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (rows[row] & (4 >> col))
                    FillBox(canvas, x + static_cast<int>(k) * 8 + col * 2, y + row * 2,
                            x + static_cast<int>(k) * 8 + col * 2 + 2, y + row * 2 + 2, colour);
    }
}

void DrawRing(Canvas* canvas, int cx, int cy, int radius, Rgb colour) {
    for (int y = -radius - 1; y <= radius + 1; ++y)
        for (int x = -radius - 1; x <= radius + 1; ++x) {
            const double d = std::hypot(x, y);
            if (d >= radius - 1 && d <= radius + 1)
                canvas->Put(cx + x, cy + y, colour);
        }
}

// The mean colour of each tile of the chip atlas; grey for a missing or broken atlas.
std::vector<Rgb> ChipColours(const LintFiles& files) {
    std::vector<Rgb> colours(ATLAS_TILES * ATLAS_TILES, {128, 128, 128});
    const auto atlas = files.find("./X/mapchip.bmp");
    DecodedImage image;
    if (atlas == files.end() ||
        !DecodeBmp(atlas->second.data(), static_cast<std::uint32_t>(atlas->second.size()), 0, false,
                   &image) ||
        image.width < ATLAS_TILES || image.height < ATLAS_TILES)
        return colours;
    const std::uint32_t tw = image.width / ATLAS_TILES, th = image.height / ATLAS_TILES;
    for (int column = 0; column < ATLAS_TILES; ++column) {
        for (int row = 0; row < ATLAS_TILES; ++row) {
            std::uint64_t sum[3] = {};
            for (std::uint32_t y = row * th; y < (row + 1) * th; ++y)
                for (std::uint32_t x = column * tw; x < (column + 1) * tw; ++x)
                    for (int c = 0; c < 3; ++c)
                        sum[c] +=
                            image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4 + c];
            const std::uint64_t n = std::uint64_t{tw} * th;
            colours[column * ATLAS_TILES + row] = {static_cast<std::uint8_t>(sum[0] / n),
                                                   static_cast<std::uint8_t>(sum[1] / n),
                                                   static_cast<std::uint8_t>(sum[2] / n)};
        }
    }
    return colours;
}

struct MapData {
    MapBase base = {};
    std::unique_ptr<TerrainGrids> grids = std::make_unique<TerrainGrids>();
    AttributeGrid attributes = {};
    std::vector<LintToken> attributeTokens;
    int columns = 0, rows = 0;
};

bool LoadMapData(const LintFiles& files, int map, MapData* data) {
    const auto base = files.find(g_mapFileNames[MAP_FILE_BASE][map]);
    if (base == files.end())
        return false;
    std::string text = DataTextOf(base->second);
    if (!ParseMapBase(text.data(), &data->base, data->grids.get()))
        return false;
    const auto chips = files.find(g_mapFileNames[MAP_FILE_BASE_UV][map]);
    if (chips != files.end()) {
        std::string chipText = DataTextOf(chips->second);
        ParseMapChips(chipText.data(), data->base.W, data->base.H, data->grids.get());
    }
    return LoadAttributeGrid(files, map, &data->attributes, &data->attributeTokens, &data->columns,
                             &data->rows);
}

void DrawGround(const MapData& data, const std::vector<Rgb>& chips, Canvas* canvas) {
    const TerrainGrids& g = *data.grids;
    float top = 0.0f;
    for (int r = 0; r <= data.base.H; ++r)
        for (int c = 0; c <= data.base.W; ++c)
            top = std::max(top, g.heights[r][c]);
    for (int y = 0; y < canvas->height; ++y) {
        for (int x = 0; x < canvas->width; ++x) {
            const float wx = (x + 0.5f) / MAP_PICTURE_PIXELS_PER_UNIT,
                        wz = canvas->depth - (y + 0.5f) / MAP_PICTURE_PIXELS_PER_UNIT;
            const int c = std::min(static_cast<int>(wx / MAP_CELL_UNITS), data.base.W - 1);
            const int r = std::min(static_cast<int>(wz / MAP_CELL_UNITS), data.base.H - 1);
            const int chip = g.chips[r][c];
            const int tile = (chip / 10) * ATLAS_TILES + chip % 10;
            const Rgb base =
                tile >= 0 && tile < ATLAS_TILES * ATLAS_TILES && chip % 10 < ATLAS_TILES
                    ? chips[static_cast<std::size_t>(tile)]
                    : Rgb{255, 0, 255};
            const float u = wx / MAP_CELL_UNITS - c, v = wz / MAP_CELL_UNITS - r;
            const float h = (1 - u) * (1 - v) * g.heights[r][c] +
                            u * (1 - v) * g.heights[r][c + 1] + (1 - u) * v * g.heights[r + 1][c] +
                            u * v * g.heights[r + 1][c + 1];
            // Low ground darker, high ground as painted.
            const float light = top > 0.0f ? 0.6f + 0.4f * std::clamp(h / top, 0.0f, 1.0f) : 1.0f;
            canvas->Put(x, y,
                        {static_cast<std::uint8_t>(base.r * light),
                         static_cast<std::uint8_t>(base.g * light),
                         static_cast<std::uint8_t>(base.b * light)});
        }
    }
}

void DrawAttributes(const MapData& data, Canvas* canvas) {
    for (int r = 0; r < data.rows && r < ATTRIBUTE_GRID_SIZE; ++r) {
        for (int c = 0; c < data.columns && c < ATTRIBUTE_GRID_SIZE; ++c) {
            const AttributeKind& kind = AttributeKindOf(data.attributes[r][c]);
            const int x0 = canvas->PixelX(c), x1 = canvas->PixelX(c + 1);
            const int y0 = canvas->PixelY(r + 1), y1 = canvas->PixelY(r);
            if (kind.effect == AttributeKind::EXIT) {
                const int to = kind.exitStep.destination;
                FillBox(canvas, x0, y0, x1, y1, EXIT_COLOURS[to >= 1 && to <= MAP_COUNT ? to : 0],
                        190);
                continue;
            }
            // A wall faces the neighbour it keeps walkers out from.
            if (kind.facedSides & SIDE_DOWN)
                FillBox(canvas, x0, y1 - 2, x1, y1 + 1, BLACK);
            if (kind.facedSides & SIDE_UP)
                FillBox(canvas, x0, y0 - 1, x1, y0 + 2, BLACK);
            if (kind.facedSides & SIDE_LEFT)
                FillBox(canvas, x0 - 1, y0, x0 + 2, y1, BLACK);
            if (kind.facedSides & SIDE_RIGHT)
                FillBox(canvas, x1 - 2, y0, x1 + 1, y1, BLACK);
        }
    }
}

void DrawViewOutline(const LintFiles& files, int map, Canvas* canvas) {
    MapView view;
    if (!LoadMapView(files, map, &view))
        return;
    std::vector<bool> seen(static_cast<std::size_t>(canvas->width) * canvas->height);
    for (int y = 0; y < canvas->height; ++y)
        for (int x = 0; x < canvas->width; ++x)
            seen[static_cast<std::size_t>(y) * canvas->width + x] =
                GroundPointClickable(view, (x + 0.5f) / MAP_PICTURE_PIXELS_PER_UNIT,
                                     canvas->depth - (y + 0.5f) / MAP_PICTURE_PIXELS_PER_UNIT);
    for (int y = 0; y < canvas->height; ++y) {
        for (int x = 0; x < canvas->width; ++x) {
            const bool here = seen[static_cast<std::size_t>(y) * canvas->width + x];
            const bool right = x + 1 < canvas->width
                                   ? seen[static_cast<std::size_t>(y) * canvas->width + x + 1]
                                   : here;
            const bool below = y + 1 < canvas->height
                                   ? seen[static_cast<std::size_t>(y + 1) * canvas->width + x]
                                   : here;
            if (here != right || here != below)
                FillBox(canvas, x - 1, y - 1, x + 1, y + 1, CYAN);
        }
    }
}

void DrawPeople(const LintFiles& files, const LintFacts& facts, int map, Canvas* canvas) {
    for (const MapPlace& place : MapPlaces(files, facts, map)) {
        const int x = canvas->PixelX(place.x), y = canvas->PixelY(place.z);
        if (place.marker) {
            for (int d = 0; d <= 6; ++d) {
                FillBox(canvas, x - 6 + d, y - d, x + 7 - d, y - d + 1, YELLOW);
                FillBox(canvas, x - 6 + d, y + d, x + 7 - d, y + d + 1, YELLOW);
            }
            DrawNumber(canvas, place.number, x + 9, y - 5, YELLOW);
            continue;
        }
        FillBox(canvas, x - 5, y - 5, x + 6, y + 6, BLACK);
        FillBox(canvas, x - 4, y - 4, x + 5, y + 5, WHITE);
        DrawNumber(canvas, place.number, x + 8, y - 5, WHITE);
    }
}

// The lead's place on map 1 when the game starts.
void DrawLeadStart(int map, Canvas* canvas) {
    if (map != 1)
        return;
    float fromX, fromZ, x, z;
    LeadFirstStep(&fromX, &fromZ, &x, &z);
    const int px = canvas->PixelX(x), py = canvas->PixelY(z);
    FillBox(canvas, px - 7, py - 1, px + 8, py + 2, GREEN);
    FillBox(canvas, px - 1, py - 7, px + 2, py + 8, GREEN);
}

// Lint names each warning's point in this picture; the picture rings it there.
void MarkWarnings(const LintFiles& files, const LintFacts& facts, const LintReport& report, int map,
                  Canvas* canvas) {
    for (const LintProblem& problem : report.problems) {
        if (MapOfLintKey(problem.key) != map)
            continue;
        int ofMap = 0, x = 0, y = 0;
        bool inside = false;
        if (LocateMapWarning(files, facts, problem, &ofMap, &x, &y, &inside))
            DrawRing(canvas, x, y, 11, RED);
        std::printf("%s:%d: %s\n", problem.key.c_str(), problem.line, problem.text.c_str());
    }
}

} // namespace

int RunMapCommand(int argc, char** argv) {
    if (argc != 4)
        return ReportUsageError(argv[0]);
    const int map = std::atoi(argv[2]);
    if (map < 1 || map > MAP_COUNT) {
        PrintError(COMMAND, std::string("no map ") + argv[2] + " (maps are 1 to 3)");
        return EXIT_USAGE;
    }
    LintInput input;
    if (!ReadLintInput(COMMAND, argv[1], &input))
        return EXIT_PROBLEM;
    MapData data;
    if (!LoadMapData(input.files, map, &data)) {
        PrintError(COMMAND, std::string(g_mapFileNames[MAP_FILE_BASE][map]) +
                                " is missing or not a base file the game can build");
        return EXIT_PROBLEM;
    }
    LintReport report;
    LintFacts facts;
    RunLintChecks(input, &facts, &report);
    Canvas canvas;
    LoadMapPicture(input.files, map, &canvas);
    canvas.rgba.assign(static_cast<std::size_t>(canvas.width) * canvas.height * 4, 255);
    DrawGround(data, ChipColours(input.files), &canvas);
    UseAttributeGrid(data.attributes);
    DrawAttributes(data, &canvas);
    DrawViewOutline(input.files, map, &canvas);
    DrawPeople(input.files, facts, map, &canvas);
    DrawLeadStart(map, &canvas);
    MarkWarnings(input.files, facts, report, map, &canvas);
    if (!WritePng(argv[3], canvas.rgba.data(), canvas.width, canvas.height)) {
        PrintError(COMMAND, std::string("cannot write ") + argv[3]);
        return EXIT_PROBLEM;
    }
    return 0;
}
