#include "scene/overlay.h"

#include "scene/backlog_view.h"

#include "core/frame_state.h"
#include "core/input_state.h"
#include "render/assets.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"
#include "scenario/backlog.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"
#include "scenario/picture_layers.h"

namespace {

constexpr std::uint32_t SHADOW_COLOR = 0xFF000000u;
constexpr std::uint32_t TEXT_COLOR = 0xFFFFFFFFu;

void DrawPictureLayers() {
    for (const PictureLayer& layer : g_pictureLayers) {
        // A number with no picture entry, or an entry without a picture, shows nothing.
        if (!layer.visible || layer.picture < 0 || layer.picture >= PICTURE_COUNT ||
            !g_pictures[layer.picture].texture)
            continue;
        DrawQuad(&layer.quad, g_pictures[layer.picture].texture);
    }
}

void DrawLinkHighlight() {
    for (const LinkRecord& link : g_links) {
        if (link.present && link.hover) {
            DrawQuad(&link.quad, g_selectbackTexture);
            return;
        }
    }
}

void DrawMessageText() {
    if (!g_pFont)
        return;
    int length = g_messagePos;
    if (length < 0)
        length = 0;
    if (length > MESSAGE_BUFFER_SIZE)
        length = MESSAGE_BUFFER_SIZE;
    g_pFont->DrawText(g_messageBuffer, length, &g_shadowRect, DT_TOPLEFT, SHADOW_COLOR);
    g_pFont->DrawText(g_messageBuffer, length, &g_textRect, DT_TOPLEFT, TEXT_COLOR);
}

} // namespace

void DrawOverlay() {
    if (g_frameNo != FRAME_SCENARIO)
        return;
    if (g_backlogOpen) {
        DrawBacklog();
        DrawQuad(&g_cursorQuad, g_cursorTexture);
        return;
    }
    DrawPictureLayers();
    DrawLinkHighlight();
    DrawMessageText();
    if (!g_clickLatch)
        DrawQuad(&g_clickIconQuad, g_clickTexture);
    DrawQuad(&g_cursorQuad, g_cursorTexture);
}
