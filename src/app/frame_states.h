// The frame-state machine: the loading screen, the start-up load and the two modes.
#pragma once

#include "render/screen_quad.h"

#include "platform/win_types.h"

#include <cstdint>

enum : std::uint8_t {
    FRAME_PREPARE_LOADING = 200,
    FRAME_SHOW_LOADING = 201,
    FRAME_STARTUP_LOAD = 210,
    FRAME_SCENARIO = 231,
    FRAME_FIELD = 251,
};

extern std::uint8_t g_frameNo;

// The loading picture, a loose file beside the archive.
constexpr const char* LOADING_PICTURE_PATH = ".\\CG\\NowLoading.bmp";

extern GfxTexture* g_loadingTexture;
extern ScreenQuad g_loadingQuad;
extern IntRect g_loadingRect;

void PrepareLoadingScreen();
void ShowLoadingScreen();
void StartupLoad();
void ScenarioFrame();
void FieldFrame();

// Runs the handler of the current frame state; false when the state is unknown.
bool DispatchFrameState();
