#include "archive/bmp_encode.h"

#include <cstddef>

namespace {

constexpr std::uint32_t BMP_HEADERS_SIZE = 14 + 40;

void PutLe(std::vector<std::uint8_t>* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(int width, int height, const std::uint8_t* pixels,
                                    int channels) {
    const auto rowBytes = static_cast<std::uint32_t>(channels * width);
    const std::uint32_t stride = (rowBytes + 3) & ~3u;
    const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.reserve(BMP_HEADERS_SIZE + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(&out, BMP_HEADERS_SIZE + pixelBytes, 4);
    PutLe(&out, 0, 4);
    PutLe(&out, BMP_HEADERS_SIZE, 4);
    PutLe(&out, 40, 4);
    PutLe(&out, static_cast<std::uint32_t>(width), 4);
    PutLe(&out, static_cast<std::uint32_t>(height), 4); // positive: rows stored bottom first
    PutLe(&out, 1, 2);
    PutLe(&out, static_cast<std::uint32_t>(8 * channels), 2);
    PutLe(&out, 0, 4); // BI_RGB
    PutLe(&out, pixelBytes, 4);
    PutLe(&out, 2835, 4); // 72 dpi
    PutLe(&out, 2835, 4);
    PutLe(&out, 0, 4);
    PutLe(&out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* row =
            pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = row + static_cast<std::size_t>(x * channels);
            out.push_back(pixel[2]);
            out.push_back(pixel[1]);
            out.push_back(pixel[0]);
            if (channels == 4)
                out.push_back(pixel[3]);
        }
        for (std::uint32_t pad = rowBytes; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}
