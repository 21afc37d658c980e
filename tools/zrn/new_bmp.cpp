// Images of the starter game and the one bitmap form every loader takes: 24-bit BI_RGB.
#include "new_game.h"

namespace {

void PutLe(std::vector<std::uint8_t>* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

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

std::vector<std::uint8_t> EncodeBmp(const NewImage& image) {
    const std::uint32_t stride = (3 * image.width + 3) & ~3u;
    const std::uint32_t pixelBytes = stride * image.height;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(&out, 54 + pixelBytes, 4);
    PutLe(&out, 0, 4);
    PutLe(&out, 54, 4);
    PutLe(&out, 40, 4);
    PutLe(&out, image.width, 4);
    PutLe(&out, image.height, 4); // positive: rows stored bottom first
    PutLe(&out, 1, 2);
    PutLe(&out, 24, 2);
    PutLe(&out, 0, 4);
    PutLe(&out, pixelBytes, 4);
    PutLe(&out, 2835, 4);
    PutLe(&out, 2835, 4);
    PutLe(&out, 0, 4);
    PutLe(&out, 0, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* pixel =
                &image.rgb[3 * (static_cast<std::size_t>(y) * image.width + x)];
            out.push_back(pixel[2]);
            out.push_back(pixel[1]);
            out.push_back(pixel[0]);
        }
        for (std::uint32_t pad = 3 * image.width; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}
