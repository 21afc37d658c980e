// A program that leaks on purpose, the way the game's own code could: a texture slot is
// loaded a second time without the texture it held being released first. The leak check
// of a sanitizer build must report that texture, allocated by the game's texture loader.
#include "bmp_image.h"
#include "render_device.h"

#include "render/render_setup.h"

#include "platform/gfx/texture_loader.h"

#include <cstdio>
#include <vector>

namespace {

// Loads the picture into the slot, forgetting whatever the slot held.
void LoadIntoSlot(const std::vector<std::uint8_t>& bmp, GfxTexture** slot) {
    CreateTextureFromFileInMemoryEx(g_pD3DDevice, bmp.data(),
                                    static_cast<std::uint32_t>(bmp.size()), GFX_DEFAULT,
                                    GFX_DEFAULT, GFX_DEFAULT, 0, FMT_A8R8G8B8, POOL_MANAGED,
                                    FILTER_LINEAR, FILTER_LINEAR, COLOR_KEY_MAGENTA, nullptr, slot);
}

} // namespace

int main() {
    if (!OpenRenderDevice("forgotten texture", false)) {
        std::fprintf(stderr, "no OpenGL 3.3 device\n");
        return 1;
    }
    const std::vector<std::uint8_t> bmp = MakeBmp24(8, 8, [](int, int) { return 0x123456u; });
    GfxTexture* slot = nullptr;
    LoadIntoSlot(bmp, &slot);
    LoadIntoSlot(bmp, &slot);
    if (slot)
        slot->Release();
    return 0;
}
