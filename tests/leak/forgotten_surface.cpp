// A program that leaks on purpose: it decodes a bitmap through SDL the way the texture
// loader does and forgets to free the surface. A sanitizer build must fail it (the
// test expects the failure), or the leak check is blind to memory that a library
// allocated for the game.
#include "bmp_image.h"

#include "platform/window/window.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

namespace {

// Returns the pixel at the top-left; the surface it read is never freed.
std::uint32_t ReadFirstPixelAndForgetTheSurface(const std::vector<std::uint8_t>& bmp) {
    SDL_RWops* stream = SDL_RWFromConstMem(bmp.data(), static_cast<int>(bmp.size()));
    SDL_Surface* surface = SDL_LoadBMP_RW(stream, 1);
    if (!surface)
        return 0;
    std::uint32_t pixel = 0;
    SDL_memcpy(&pixel, surface->pixels, 3);
    return pixel;
}

} // namespace

int main() {
    if (!InitWindowSystem()) {
        std::fprintf(stderr, "no window system\n");
        return 0;
    }
    const std::uint32_t pixel =
        ReadFirstPixelAndForgetTheSurface(MakeBmp24(64, 64, [](int, int) { return 0x123456u; }));
    // Only the leak check can fail the program.
    std::printf("first pixel %06x\n", pixel);
    return 0;
}
