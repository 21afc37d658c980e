// The starter game's pictures: plain shapes in a few colours, made here so that a new
// game needs nothing from elsewhere. Magenta (255, 0, 255) is the transparent colour.
#include "new_game.h"

#include "archive/bmp_encode.h"

#include <cmath>

namespace {

constexpr std::uint8_t KEY[3] = {255, 0, 255};

void AddBmp(NewGameFiles* files, const std::string& path, const NewImage& image) {
    files->push_back({path, EncodeBmp(image.width, image.height, image.rgb.data(), 3)});
}

void FillRect(NewImage* image, int x0, int y0, int x1, int y1, const std::uint8_t* colour) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            image->Set(x, y, colour[0], colour[1], colour[2]);
}

void FillDisc(NewImage* image, double cx, double cy, double radius, const std::uint8_t* colour) {
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius)
                image->Set(x, y, colour[0], colour[1], colour[2]);
}

// A sprite sheet: 256 x 256, tiles of 32 x 48 in two blocks of three columns and four
// rows (see the guide); every tile shows the same figure, a head over a body.
NewImage SpriteSheet(const std::uint8_t* body) {
    NewImage sheet = MakeImage(256, 256, KEY[0], KEY[1], KEY[2]);
    const std::uint8_t skin[3] = {240, 200, 160};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 6; ++column) {
            const int x = column * 32, y = row * 48;
            FillRect(&sheet, x + 9, y + 18, x + 23, y + 44, body);
            FillDisc(&sheet, x + 16, y + 12, 7, skin);
        }
    }
    return sheet;
}

// A portrait for a picture layer: a bust on a tinted card.
NewImage Portrait(const std::uint8_t* body) {
    NewImage image = MakeImage(512, 768, KEY[0], KEY[1], KEY[2]);
    const std::uint8_t skin[3] = {240, 200, 160};
    FillRect(&image, 136, 420, 376, 768, body);
    FillDisc(&image, 256, 300, 120, skin);
    return image;
}

// The 8 x 8 atlas of 64-pixel ground tiles: tile (column, row) is chip 10 * column + row.
NewImage MapChips() {
    NewImage atlas = MakeImage(512, 512, 90, 90, 90);
    const std::uint8_t grass[3] = {96, 160, 80}, path[3] = {200, 180, 130},
                       hedge[3] = {40, 100, 50}, pen[3] = {150, 120, 80};
    const std::uint8_t* tiles[4] = {grass, path, hedge, pen};
    for (int column = 0; column < 4; ++column) {
        FillRect(&atlas, column * 64, 0, column * 64 + 64, 64, tiles[column]);
        for (int k = 0; k < 64; k += 8) // a lighter speck every 8 pixels shows the ground's slope
            atlas.Set(column * 64 + k + 3, k + 5, 255, 255, 255);
    }
    return atlas;
}

} // namespace

void AddNewGamePictures(NewGameFiles* files) {
    const std::uint8_t gold[3] = {240, 200, 90}, white[3] = {250, 250, 250};
    NewImage cursor = MakeImage(64, 64, KEY[0], KEY[1], KEY[2]);
    for (int y = 0; y < 40; ++y) // an arrow whose tip is the bottom-left corner
        FillRect(&cursor, 0, 63 - y, 40 - y, 64 - y, gold);
    AddBmp(files, "CG/cursor.bmp", cursor);
    NewImage click = MakeImage(64, 64, KEY[0], KEY[1], KEY[2]);
    FillDisc(&click, 32, 32, 14, white);
    AddBmp(files, "CG/click.bmp", click);
    AddBmp(files, "CG/selectback.bmp", MakeImage(256, 32, 236, 190, 96));
    AddBmp(files, "X/textback.bmp", MakeImage(512, 256, 30, 34, 60));
    NewImage effect = MakeImage(256, 256, KEY[0], KEY[1], KEY[2]);
    FillDisc(&effect, 128, 128, 100, gold);
    AddBmp(files, "X/effect.bmp", effect);
    AddBmp(files, "X/mapchip.bmp", MapChips());
    AddBmp(files, "X/arrow.bmp", MakeImage(64, 64, 240, 200, 90));
    AddBmp(files, "X/mist.bmp", MakeImage(64, 64, 200, 200, 210));
    AddBmp(files, "X/question.bmp", MakeImage(64, 64, 250, 210, 90));

    // Character 0 is the lead; 1 to 6 stand on maps and have portraits 1 to 6.
    const char* const names[7] = {"tavelle", "miroune", "pendel", "sorvane",
                                  "obrik",   "daskel",  "korvath"};
    const std::uint8_t bodies[7][3] = {{60, 90, 200},   {200, 70, 70},  {70, 160, 90},
                                       {180, 120, 200}, {200, 150, 60}, {90, 90, 90},
                                       {120, 60, 40}};
    for (int k = 0; k < 7; ++k) {
        AddBmp(files, std::string("X/") + names[k] + ".bmp", SpriteSheet(bodies[k]));
        if (k > 0)
            AddBmp(files, std::string("CG/") + names[k] + ".bmp", Portrait(bodies[k]));
    }
    NewImage end = MakeImage(1024, 768, 250, 200, 150);
    FillDisc(&end, 512, 384, 200, gold);
    AddBmp(files, "CG/end.bmp", end);
    NewImage loading = MakeImage(1024, 768, 30, 34, 60);
    FillRect(&loading, 312, 600, 712, 616, gold);
    AddBmp(files, "CG/NowLoading.bmp", loading);
}
