// Images of the starter game, drawn in RGB before they are written as bitmaps.
#include "new_game.h"

void NewImage::Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    std::uint8_t* pixel = &rgb[3 * (static_cast<std::size_t>(y) * width + x)];
    pixel[0] = r;
    pixel[1] = g;
    pixel[2] = b;
}

NewImage MakeImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    NewImage image{width, height, std::vector<std::uint8_t>(3 * width * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, r, g, b);
    return image;
}
