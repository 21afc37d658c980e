// The character pictures a scenario shows over the field, one per layer.
#pragma once

#include "render/screen_quad.h"

#include <cstdint>

constexpr int PICTURE_LAYER_COUNT = 10;
// Entries of the picture table; only 1 to 7 hold a picture.
constexpr int PICTURE_NUMBER_COUNT = 9;

struct PictureLayer {
    ScreenQuad quad;
    std::int32_t picture; // index into g_pictures
    bool visible;
};

extern PictureLayer g_pictureLayers[PICTURE_LAYER_COUNT];
extern int g_basePicture;

void ImageTag(int length);
