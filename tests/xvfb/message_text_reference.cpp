// Draws a UTF-8 text through the game's own text path (the device's font over OpenGL)
// at the message box's size, black on the box's grey, from the point where the box
// starts its text, and writes the frame as a binary PPM. The message box test compares
// the box on the screen with it.
//
//   message_text_reference TEXT OUT.ppm   (run with SDL_VIDEODRIVER=offscreen)
#include "render/render_setup.h"

#include "platform/gfx/device.h"
#include "platform/gfx/font.h"
#include "platform/system/window_system.h"
#include "platform/window/message_window.h"
#include "platform/window/window.h"

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;

// The game keeps its text in CP932.
bool Utf8ToCp932(const char* text, std::string* out) {
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input = text;
    out->assign(input.size() * 2 + 1, '\0');
    char* in = input.data();
    char* to = out->data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = out->size();
    const bool ok = iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    out->resize(out->size() - outLeft);
    return ok && inLeft == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: message_text_reference TEXT OUT.ppm\n");
        return 2;
    }
    std::string text;
    if (!Utf8ToCp932(argv[1], &text)) {
        std::fprintf(stderr, "message_text_reference: the text has no CP932 form\n");
        return 1;
    }
    if (!InitWindowSystem() || !CreatePlatformWindow("reference", WIDTH, HEIGHT) ||
        FAILED(InitDirect3D())) {
        std::fprintf(stderr, "message_text_reference: no device\n");
        return 1;
    }
    InitRenderStates();
    FontDesc desc = {};
    desc.Height = MESSAGE_FONT_EM;
    desc.Width = MESSAGE_FONT_EM / 2;
    std::strncpy(desc.FaceName, MESSAGE_FONT_FACE, sizeof(desc.FaceName) - 1);
    GfxFont* font = nullptr;
    if (FAILED(CreateFontIndirect(g_pD3DDevice, &desc, &font))) {
        std::fprintf(stderr, "message_text_reference: no font\n");
        return 1;
    }
    SetPresentCapture(true);
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFFF0F0F0u, 1.0f, 0);
    g_pD3DDevice->BeginScene();
    const IntRect rect = {MESSAGE_TEXT_LEFT, MESSAGE_TEXT_TOP, WIDTH, HEIGHT};
    font->DrawText(text.data(), static_cast<int>(text.size()), &rect, DT_TOPLEFT, 0xFF000000u);
    g_pD3DDevice->EndScene();
    g_pD3DDevice->Present();
    const std::uint8_t* frame = GetCapturedFrame();
    FILE* out = std::fopen(argv[2], "wb");
    if (!frame || !out) {
        std::fprintf(stderr, "message_text_reference: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "P6\n%d %d\n255\n", WIDTH, HEIGHT);
    for (int i = 0; i < WIDTH * HEIGHT; ++i)
        std::fwrite(frame + i * 4, 1, 3, out);
    std::fclose(out);
    font->Release();
    ReleaseDirect3D();
    QuitWindowSystem();
    return 0;
}
