// The frame-state handlers: the loading screen, the start-up load and the two modes.
#pragma once

#include "core/frame_state.h"
#include "core/screen_vertex.h"

#include "platform/win_types.h"

struct GfxTexture;

// The loading picture, a loose file beside the archive.
constexpr const char* LOADING_PICTURE_PATH = ".\\CG\\NowLoading.bmp";

extern GfxTexture* g_loadingTexture;
extern ScreenQuad g_loadingQuad;
extern IntRect g_loadingRect;

// The loading picture belongs to the loading screen, which lets it go at shut-down.
void ReleaseLoadingTexture();

// What F1 does: the pictures go and the next frame starts the loading screen.
void BeginReload();
void PrepareLoadingScreen();
void ShowLoadingScreen();
void StartupLoad();
void ScenarioFrame();
void FieldFrame();

// Runs the handler of the current frame state; false when the state is unknown.
bool DispatchFrameState();
