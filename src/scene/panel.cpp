#include "scene/panel.h"

#include "render/assets.h"
#include "render/render_setup.h"
#include "render/screen_quad.h"

#include <cstring>

namespace {

constexpr int PANEL_WIDTH = 640;
constexpr int PANEL_PADDING = 20;
constexpr int BACKDROP_ALPHA = 230;
constexpr std::uint32_t TITLE_COLOR = 0xFFFFFF80u;
constexpr std::uint32_t LINE_COLOR = 0xFFFFFFFFu;
constexpr std::uint32_t MARKED_COLOR = 0xFFFFD040u;

} // namespace

IntRect PanelRect(int lineCount) {
    const int height = PANEL_LINE_HEIGHT * (lineCount + 1) + 2 * PANEL_PADDING;
    const int left = (SCREEN_WIDTH - PANEL_WIDTH) / 2;
    const int top = (SCREEN_HEIGHT - height) / 2;
    return {left, top, left + PANEL_WIDTH, top + height};
}

int PanelLineAt(int lineCount, int x, int y) {
    const IntRect area = PanelRect(lineCount);
    const int firstTop = area.top + PANEL_PADDING + PANEL_LINE_HEIGHT;
    if (x < area.left || x >= area.right || y < firstTop)
        return -1;
    const int line = (y - firstTop) / PANEL_LINE_HEIGHT;
    return line < lineCount ? line : -1;
}

void DrawPanel(const char* title, const char* const* lines, int lineCount, int marked) {
    const IntRect area = PanelRect(lineCount);
    ScreenQuad backdrop;
    SetQuad(&backdrop, BACKDROP_ALPHA, static_cast<float>(area.left), static_cast<float>(area.top),
            static_cast<float>(area.right), static_cast<float>(area.bottom), 0.0f, 0.0f, 64.0f,
            64.0f);
    DrawQuad(&backdrop, g_textbackTexture);
    if (!g_pFont)
        return;
    const int left = area.left + PANEL_PADDING;
    int top = area.top + PANEL_PADDING;
    const IntRect titleRect = {left, top, area.right, top + PANEL_LINE_HEIGHT};
    g_pFont->DrawText(title, static_cast<int>(std::strlen(title)), &titleRect, DT_TOPLEFT,
                      TITLE_COLOR);
    for (int k = 0; k < lineCount; ++k) {
        top += PANEL_LINE_HEIGHT;
        const IntRect rect = {left, top, area.right, top + PANEL_LINE_HEIGHT};
        g_pFont->DrawText(lines[k], static_cast<int>(std::strlen(lines[k])), &rect, DT_TOPLEFT,
                          k == marked ? MARKED_COLOR : LINE_COLOR);
    }
}
