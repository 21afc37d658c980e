#include "gfx_fixture.h"

#include "render/camera.h"
#include "render/render_setup.h"

#include "platform/gfx/texture_loader.h"
#include "platform/window/window.h"

bool InitGfxFixture() {
    static int s_ready = -1;
    if (s_ready >= 0)
        return s_ready == 1;
    s_ready =
        InitWindowSystem() && CreatePlatformWindow("test", 1024, 768) && InitDirect3D() == S_OK;
    if (s_ready) {
        InitRenderStates();
        s_ready = CreateEffects() &&
                  SUCCEEDED(g_pD3DDevice->CreateVertexBuffer(
                      112, 0, FVF_SCREEN_VERTEX, POOL_MANAGED, &g_camera.screenQuadBuffer));
        SetPresentCapture(true);
    }
    return s_ready == 1;
}

const std::uint8_t* PresentFrame() {
    g_pD3DDevice->Present();
    return GetCapturedFrame();
}

Pixel PixelAt(const std::uint8_t* frame, int x, int y) {
    const std::uint8_t* p = frame + (static_cast<std::size_t>(y) * 1024 + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}
