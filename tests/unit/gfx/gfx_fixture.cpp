#include "gfx_fixture.h"

#include "render_device.h"

#include "render/render_setup.h"

#include "platform/gfx/texture_loader.h"

bool InitGfxFixture() {
    return OpenRenderDevice("test", true);
}

const std::uint8_t* PresentFrame() {
    g_pD3DDevice->Present();
    return GetCapturedFrame();
}

Pixel PixelAt(const std::uint8_t* frame, int x, int y) {
    const std::uint8_t* p = frame + (static_cast<std::size_t>(y) * 1024 + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}
