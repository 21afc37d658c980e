#include "platform/frame_fit.h"

#include <algorithm>
#include <cmath>

FrameRect FitFrame(int drawableWidth, int drawableHeight, FrameScaleMode mode) {
    drawableWidth = std::max(drawableWidth, 1);
    drawableHeight = std::max(drawableHeight, 1);
    const int whole =
        std::min(drawableWidth / GAME_FRAME_WIDTH, drawableHeight / GAME_FRAME_HEIGHT);
    int width, height;
    if (mode == FRAME_SCALE_INTEGER && whole >= 1) {
        width = GAME_FRAME_WIDTH * whole;
        height = GAME_FRAME_HEIGHT * whole;
    } else if (static_cast<long long>(drawableWidth) * GAME_FRAME_HEIGHT <=
               static_cast<long long>(drawableHeight) * GAME_FRAME_WIDTH) {
        width = drawableWidth; // bars above and below
        height = std::max(1, static_cast<int>(std::lround(static_cast<double>(drawableWidth) *
                                                          GAME_FRAME_HEIGHT / GAME_FRAME_WIDTH)));
    } else {
        height = drawableHeight; // bars left and right
        width = std::max(1, static_cast<int>(std::lround(static_cast<double>(drawableHeight) *
                                                         GAME_FRAME_WIDTH / GAME_FRAME_HEIGHT)));
    }
    return FrameRect{(drawableWidth - width) / 2, (drawableHeight - height) / 2, width, height};
}

void MapWindowPointToFrame(double windowX, double windowY, int windowWidth, int windowHeight,
                           int drawableWidth, int drawableHeight, FrameScaleMode mode, int* frameX,
                           int* frameY) {
    const FrameRect picture = FitFrame(drawableWidth, drawableHeight, mode);
    const double pixelsX = windowWidth > 0 ? static_cast<double>(drawableWidth) / windowWidth : 1.0;
    const double pixelsY =
        windowHeight > 0 ? static_cast<double>(drawableHeight) / windowHeight : 1.0;
    const double x = (windowX * pixelsX - picture.x) * GAME_FRAME_WIDTH / picture.width;
    const double y = (windowY * pixelsY - picture.y) * GAME_FRAME_HEIGHT / picture.height;
    *frameX = std::clamp(static_cast<int>(std::floor(x)), 0, GAME_FRAME_WIDTH - 1);
    *frameY = std::clamp(static_cast<int>(std::floor(y)), 0, GAME_FRAME_HEIGHT - 1);
}

void InitialWindowSize(int usableWidth, int usableHeight, int* width, int* height) {
    const int whole = std::min(usableWidth / GAME_FRAME_WIDTH, usableHeight / GAME_FRAME_HEIGHT);
    if (whole >= 1) {
        *width = GAME_FRAME_WIDTH * whole;
        *height = GAME_FRAME_HEIGHT * whole;
        return;
    }
    const FrameRect shrunk = FitFrame(usableWidth, usableHeight, FRAME_SCALE_LINEAR);
    *width = shrunk.width;
    *height = shrunk.height;
}

WindowGeometry WindowlessGeometry(FrameScaleMode mode) {
    return {GAME_FRAME_WIDTH, GAME_FRAME_HEIGHT, GAME_FRAME_WIDTH, GAME_FRAME_HEIGHT, mode};
}
