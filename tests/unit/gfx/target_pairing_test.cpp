// The framebuffer of a pairing of targets is made and checked once: the fog frame pairs
// the screen with a depth texture every frame, and must not make and drop GL objects
// each time.
#include "gfx_fixture.h"

#include "render/camera.h"
#include "render/render_setup.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

namespace {

int s_framebuffersMade = 0;
int s_framebuffersDeleted = 0;
PFNGLGENFRAMEBUFFERSPROC s_genFramebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC s_deleteFramebuffers = nullptr;

void APIENTRY CountingGenFramebuffers(GLsizei count, GLuint* names) {
    s_framebuffersMade += count;
    s_genFramebuffers(count, names);
}

void APIENTRY CountingDeleteFramebuffers(GLsizei count, const GLuint* names) {
    s_framebuffersDeleted += count;
    s_deleteFramebuffers(count, names);
}

// One frame of the combined fog pass: the screen's target with a second one beside it.
void PairedFrame(GfxTexture* screen, GfxTexture* depth) {
    GfxSurface* first = nullptr;
    GfxSurface* second = nullptr;
    screen->GetSurfaceLevel(0, &first);
    depth->GetSurfaceLevel(0, &second);
    g_pD3DDevice->SetRenderTarget(0, first);
    g_pD3DDevice->SetDepthStencilSurface(g_camera.backDepth);
    ASSERT_EQ(g_pD3DDevice->SetRenderTarget(1, second), S_OK);
    ASSERT_EQ(g_pD3DDevice->ClearRenderTarget(1, {1.0f, 0.0f, 0.0f, 1.0f}), S_OK);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464u, 1.0f, 0);
    g_pD3DDevice->SetRenderTarget(1, nullptr);
    g_pD3DDevice->SetRenderTarget(0, g_camera.backBuffer);
}

} // namespace

TEST(TargetPairing, FramesAfterTheFirstMakeNoFramebuffer) {
    if (!InitGfxFixture())
        GTEST_SKIP() << "no OpenGL 3.3 device";
    GfxTexture* screen = nullptr;
    GfxTexture* depth = nullptr;
    ASSERT_EQ(g_pD3DDevice->CreateTexture(1024, 768, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8,
                                          POOL_DEFAULT, &screen),
              S_OK);
    ASSERT_EQ(g_pD3DDevice->CreateTexture(1024, 768, 1, USAGE_RENDERTARGET, FMT_G16R16F,
                                          POOL_DEFAULT, &depth),
              S_OK);
    // Both entry points are resolved before they are wrapped, so that the loader's first
    // call does not put the real ones back.
    GLuint name = 0;
    glGenFramebuffers(1, &name);
    glDeleteFramebuffers(1, &name);
    s_genFramebuffers = epoxy_glGenFramebuffers;
    s_deleteFramebuffers = epoxy_glDeleteFramebuffers;
    epoxy_glGenFramebuffers = CountingGenFramebuffers;
    epoxy_glDeleteFramebuffers = CountingDeleteFramebuffers;

    PairedFrame(screen, depth);
    const int madeByTheFirst = s_framebuffersMade;
    for (int frame = 0; frame < 5; ++frame)
        PairedFrame(screen, depth);
    EXPECT_EQ(s_framebuffersMade, madeByTheFirst);
    EXPECT_EQ(s_framebuffersDeleted, 0);

    epoxy_glGenFramebuffers = s_genFramebuffers;
    epoxy_glDeleteFramebuffers = s_deleteFramebuffers;
    screen->Release();
    depth->Release();
}
