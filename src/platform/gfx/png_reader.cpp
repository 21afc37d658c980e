#include "platform/gfx/png_reader.h"

#include <png.h>

#include <cstring>

bool DecodePng(const std::uint8_t* data, std::size_t size, std::uint32_t maxSide, PngPixels* pixels,
               std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        *error = std::string("not a PNG the game can convert: ") + image.message;
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > maxSide || image.height > maxSide) {
        *error = std::to_string(image.width) + " x " + std::to_string(image.height) +
                 ": sides of 1 to " + std::to_string(maxSide) + " pixels only";
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    pixels->width = image.width;
    pixels->height = image.height;
    pixels->rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, pixels->rgba.data(), 0, nullptr)) {
        *error = std::string("the PNG does not decode: ") + image.message;
        png_image_free(&image);
        pixels->rgba.clear();
        return false;
    }
    return true;
}
