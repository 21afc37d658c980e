#include "platform/window/window_links.h"

WindowLinks g_windowLinks = {
    [] {},
    [](const SDL_Event&) {},
    [](int) { return 0; },
    [](int) { return 0; },
    [] {},
    [](std::uint32_t) {},
    [] {},
};
