#include "render/screen_quad.h"

#include "render/camera.h"
#include "render/render_setup.h"

namespace {

constexpr float TEXTURE_UNIT_64THS = 0.015625f;

} // namespace

void SetQuad(ScreenQuad* quad, int alpha, float left, float top, float right, float bottom,
             float tu0, float tv0, float tu1, float tv1) {
    const std::uint32_t color =
        alpha == 255 ? 0xFFFFFFFFu : (static_cast<std::uint32_t>(alpha) << 24) + 0x00FFFFFFu;
    const float corners[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    for (int i = 0; i < 4; ++i) {
        ScreenVertex& v = quad->v[i];
        v.x = corners[i][0];
        v.y = corners[i][1];
        v.z = 0.0f;
        v.rhw = 1.0f;
        v.diffuse = color;
    }
    SetQuadTexRect(quad, tu0, tv0, tu1, tv1);
}

void SetQuadTexRect(ScreenQuad* quad, float tu0, float tv0, float tu1, float tv1) {
    const float u0 = tu0 * TEXTURE_UNIT_64THS, v0 = tv0 * TEXTURE_UNIT_64THS;
    const float u1 = tu1 * TEXTURE_UNIT_64THS, v1 = tv1 * TEXTURE_UNIT_64THS;
    const float coords[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    for (int i = 0; i < 4; ++i) {
        quad->v[i].u = coords[i][0];
        quad->v[i].v = coords[i][1];
    }
}

void MoveQuad(ScreenQuad* quad, float dx, float dy, float dz) {
    for (ScreenVertex& v : quad->v) {
        v.x += dx;
        v.y += dy;
        v.z += dz;
    }
}

void ClampQuad(ScreenQuad* quad, int left, int top, int right, int bottom) {
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    const float r = static_cast<float>(right), b = static_cast<float>(bottom);
    if (l > quad->v[0].x)
        MoveQuad(quad, l - quad->v[0].x, 0.0f, 0.0f);
    if (t > quad->v[0].y)
        MoveQuad(quad, 0.0f, t - quad->v[0].y, 0.0f);
    if (quad->v[2].x > r)
        MoveQuad(quad, -(quad->v[2].x - r), 0.0f, 0.0f);
    if (quad->v[2].y > b)
        MoveQuad(quad, 0.0f, -(quad->v[2].y - b), 0.0f);
}

void DrawQuad(const ScreenQuad* quad, GfxTexture* texture) {
    g_pD3DDevice->SetTexture(0, texture);
    g_pD3DDevice->DrawPrimitiveUP(PT_TRIANGLEFAN, 2, quad->v, sizeof(ScreenVertex));
}

void DrawScreenEffectQuad(GfxEffect* effect, float left, float top, float right, float bottom,
                          float uLeft, float vTop, float uRight, float vBottom) {
    GfxVertexBuffer* buffer = g_camera.screenQuadBuffer;
    if (!effect)
        return;
    std::uint32_t passes = 0;
    effect->Begin(&passes, 0);
    for (std::uint32_t p = 0; p < passes; ++p) {
        effect->BeginPass(p);
        void* data = nullptr;
        g_pD3DDevice->SetStreamSource(0, buffer, 0, sizeof(ScreenVertex));
        g_pD3DDevice->SetFVF(SCREEN_VERTEX_FVF);
        if (buffer && SUCCEEDED(buffer->Lock(0, sizeof(ScreenQuad), &data, 0))) {
            ScreenQuad quad;
            // z 0 and white are not read by the effect passes; they keep the quad
            // inside the depth range.
            SetQuad(&quad, 255, left, top, right, bottom, 0.0f, 0.0f, 0.0f, 0.0f);
            const float coords[4][2] = {
                {uLeft, vTop}, {uRight, vTop}, {uRight, vBottom}, {uLeft, vBottom}};
            for (int i = 0; i < 4; ++i) {
                quad.v[i].u = coords[i][0];
                quad.v[i].v = coords[i][1];
            }
            *static_cast<ScreenQuad*>(data) = quad;
            buffer->Unlock();
            g_pD3DDevice->SetRenderState(RS_ZENABLE, 0);
            g_pD3DDevice->SetRenderState(RS_ZWRITEENABLE, 0);
            g_pD3DDevice->DrawPrimitive(PT_TRIANGLEFAN, 0, 2);
            g_pD3DDevice->SetRenderState(RS_ZENABLE, 1);
            g_pD3DDevice->SetRenderState(RS_ZWRITEENABLE, 1);
        }
        effect->EndPass();
    }
    effect->End();
}
