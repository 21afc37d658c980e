#include "scene/backlog_view.h"

#include "render/assets.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"
#include "scenario/backlog.h"

#include <cstdio>

namespace {

constexpr int BACKDROP_ALPHA = 200;
constexpr std::uint32_t TEXT_COLOR = 0xFFFFFFFFu;
constexpr std::uint32_t HEADER_COLOR = 0xFFFFFF80u;
constexpr IntRect HEADER_RECT = {50, 4, 974, 49};

} // namespace

void DrawBacklog() {
    const BacklogPage* page = BacklogPageBack(g_backlogBack);
    if (!page)
        return;
    ScreenQuad backdrop;
    SetQuad(&backdrop, BACKDROP_ALPHA, 0.0f, 0.0f, static_cast<float>(SCREEN_WIDTH),
            static_cast<float>(SCREEN_HEIGHT), 0.0f, 0.0f, 64.0f, 64.0f);
    DrawQuad(&backdrop, g_textbackTexture);
    if (!g_pFont)
        return;
    char header[48];
    const int length = std::snprintf(header, sizeof header, "Backlog %d/%d",
                                     g_backlogCount - g_backlogBack, g_backlogCount);
    g_pFont->DrawText(header, length, &HEADER_RECT, DT_TOPLEFT, HEADER_COLOR);
    g_pFont->DrawText(page->text, page->length, &g_textRect, DT_TOPLEFT, TEXT_COLOR);
}
