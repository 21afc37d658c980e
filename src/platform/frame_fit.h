// Where the game's fixed 1024×768 frame sits inside a window of any size, and the
// way back from a window pixel to a frame pixel.
#pragma once

constexpr int GAME_FRAME_WIDTH = 1024;
constexpr int GAME_FRAME_HEIGHT = 768;

enum FrameScaleMode {
    FRAME_SCALE_LINEAR,  // any scale, smoothed
    FRAME_SCALE_NEAREST, // any scale, blocky
    FRAME_SCALE_INTEGER, // whole multiples only, sharp; shrinks smoothly below 1×
};

// The frame's picture in drawable pixels; the rest of the drawable is black bars.
struct FrameRect {
    int x, y, width, height;
};

// The largest picture of the frame's aspect that fits the drawable, centred; in
// integer mode the largest whole multiple, unless even 1× does not fit.
FrameRect FitFrame(int drawableWidth, int drawableHeight, FrameScaleMode mode);

// A point in window coordinates (as the window system reports the pointer) to a frame
// pixel, with the drawable's pixels per window unit taken from the two sizes (HiDPI).
// Points over the bars are held at the frame's nearest edge.
void MapWindowPointToFrame(double windowX, double windowY, int windowWidth, int windowHeight,
                           int drawableWidth, int drawableHeight, FrameScaleMode mode, int* frameX,
                           int* frameY);

// The initial window size: the largest whole multiple of the frame that fits the
// usable desktop, or the frame shrunk to fit (aspect kept) when even 1× does not.
void InitialWindowSize(int usableWidth, int usableHeight, int* width, int* height);

// What the present step and the pointer mapping need: the window's size in window
// units, its drawable size in pixels, and the scaling.
struct WindowGeometry {
    int windowWidth, windowHeight;
    int drawableWidth, drawableHeight;
    FrameScaleMode mode;
};
// The geometry before there is a window: window and drawable are the frame itself.
WindowGeometry WindowlessGeometry(FrameScaleMode mode);
