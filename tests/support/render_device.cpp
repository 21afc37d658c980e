#include "render_device.h"

#include "core/screen_vertex.h"
#include "render/camera.h"
#include "render/render_setup.h"

#include "platform/gfx/texture_loader.h"
#include "platform/system/window_system.h"
#include "platform/window/window.h"

bool OpenRenderDevice(const char* title, bool captureFrames) {
    static int s_ready = -1;
    if (s_ready >= 0)
        return s_ready == 1;
    s_ready = InitWindowSystem() && CreatePlatformWindow(title, SCREEN_WIDTH, SCREEN_HEIGHT) &&
              InitDirect3D() == S_OK;
    if (!s_ready)
        return false;
    InitRenderStates();
    s_ready = CreateEffects() &&
              SUCCEEDED(g_pD3DDevice->CreateVertexBuffer(sizeof(ScreenQuad), 0, FVF_SCREEN_VERTEX,
                                                         POOL_MANAGED, &g_camera.screenQuadBuffer));
    SetPresentCapture(captureFrames);
    return s_ready == 1;
}
