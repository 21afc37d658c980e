#include "scenario/picture_layers.h"

#include "core/tokenizer.h"
#include "render/assets.h"
#include "scenario/interpreter.h"
#include "scenario/page.h"

#include <cstring>

static_assert(PICTURE_NUMBER_COUNT == PICTURE_COUNT, "one picture number per picture entry");

PictureLayer g_pictureLayers[PICTURE_LAYER_COUNT];
int g_basePicture;

// [image N layer=c left=x top=y]: picture N at its own size with its top-left corner
// at (x, y). A picture number outside the table or a layer outside 0-9 is refused.
void ImageTag(int length) {
    char text[MAX_TAG_LENGTH + 1];
    char* cursor = CopyTagText(length, text);
    NextToken(&cursor, TOKEN_DELIMITERS); // "[image"
    const char* number = NextToken(&cursor, TOKEN_DELIMITERS);
    if (!number)
        return;
    const int picture = TokenToInt(number);
    if (picture < 0 || picture >= PICTURE_NUMBER_COUNT)
        return;
    int layer = 0;
    float x = 0.0f;
    float y = 0.0f;
    while (const char* token = NextToken(&cursor, TOKEN_DELIMITERS)) {
        const bool isLayer = std::strcmp(token, "layer") == 0;
        const bool isLeft = std::strcmp(token, "left") == 0;
        const bool isTop = std::strcmp(token, "top") == 0;
        if (!isLayer && !isLeft && !isTop)
            continue;
        const char* value = NextToken(&cursor, TOKEN_DELIMITERS);
        if (!value)
            break;
        if (isLayer && std::strcmp(value, "base") == 0) {
            g_basePicture = picture;
            return;
        }
        if (isLayer)
            layer = TokenToInt(value);
        else if (isLeft)
            x = static_cast<float>(TokenToInt(value));
        else
            y = static_cast<float>(TokenToInt(value));
    }
    if (layer < 0 || layer >= PICTURE_LAYER_COUNT)
        return;
    const float w = static_cast<float>(g_pictures[picture].info.Width);
    const float h = static_cast<float>(g_pictures[picture].info.Height);
    ScreenQuad* quad = &g_pictureLayers[layer].quad;
    const float corners[4][2] = {{0.0f, 0.0f}, {w, 0.0f}, {w, h}, {0.0f, h}};
    for (int i = 0; i < 4; ++i) {
        quad->v[i].x = corners[i][0];
        quad->v[i].y = corners[i][1];
    }
    MoveQuad(quad, x, y, 0.0f);
    g_pictureLayers[layer].picture = picture;
    g_pictureLayers[layer].visible = true;
}
