#include "platform/window/message_window.h"

#include "platform/text/font_face.h"
#include "platform/window/message_text.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int MARGIN = MESSAGE_TEXT_LEFT;
constexpr int TEXT_MAX_WIDTH = 30 * MESSAGE_FONT_EM; // thirty Japanese characters
constexpr int LINE_HEIGHT = MESSAGE_FONT_EM + 6;
constexpr int BUTTON_WIDTH = 88;
constexpr int BUTTON_HEIGHT = 28;
constexpr int MIN_WIDTH = 240;
constexpr Uint32 POLL_MS = 10;

constexpr std::uint32_t BACKGROUND = 0xFFF0F0F0;
constexpr std::uint32_t INK = 0xFF000000;
constexpr std::uint32_t BUTTON_FACE = 0xFFE1E1E1;
constexpr std::uint32_t BUTTON_PRESSED = 0xFFCCE4F7;
constexpr std::uint32_t BUTTON_BORDER = 0xFF0078D7; // the default button, with the focus

struct Canvas {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // ARGB, top row first
};

struct MessageLayout {
    std::vector<MessageLine> lines;
    int width = 0, height = 0;
    SDL_Rect button{};
};

int Advance(const FontFace& font, std::uint32_t c) {
    return static_cast<int>(RenderFontGlyph(font, c)->advance.x >> 6);
}

int MeasureLine(const FontFace& font, const MessageLine& line) {
    int width = 0;
    for (std::uint32_t c : line)
        width += Advance(font, c);
    return width;
}

MessageLayout LayOutMessage(const FontFace& font, const char* text) {
    MessageLayout layout;
    layout.lines = WrapMessageText(DecodeMessageText(text), TEXT_MAX_WIDTH,
                                   [&font](std::uint32_t c) { return Advance(font, c); });
    int textWidth = 0;
    for (const MessageLine& line : layout.lines)
        textWidth = std::max(textWidth, MeasureLine(font, line));
    layout.width = std::max(MIN_WIDTH, textWidth + 2 * MARGIN);
    const int textHeight = static_cast<int>(layout.lines.size()) * LINE_HEIGHT;
    layout.button = {(layout.width - BUTTON_WIDTH) / 2, MARGIN + textHeight + MARGIN, BUTTON_WIDTH,
                     BUTTON_HEIGHT};
    layout.height = layout.button.y + BUTTON_HEIGHT + MARGIN * 3 / 4;
    return layout;
}

void FillRect(Canvas* canvas, int x, int y, int w, int h, std::uint32_t color) {
    for (int row = std::max(0, y); row < std::min(canvas->height, y + h); ++row) {
        for (int col = std::max(0, x); col < std::min(canvas->width, x + w); ++col)
            canvas->pixels[static_cast<std::size_t>(row) * canvas->width + col] = color;
    }
}

// Coverage blended over the canvas as the game's text is blended over its frame.
void BlendCoverage(std::uint32_t* pixel, std::uint32_t color, int coverage) {
    std::uint32_t out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const int src = static_cast<int>(color >> shift & 0xFF);
        const int dst = static_cast<int>(*pixel >> shift & 0xFF);
        const int mixed = (src * coverage + dst * (255 - coverage) + 127) / 255;
        out |= static_cast<std::uint32_t>(mixed) << shift;
    }
    *pixel = out;
}

void DrawLine(Canvas* canvas, const FontFace& font, const MessageLine& line, int x, int top,
              std::uint32_t color) {
    const int baseline = top + font.ascender;
    for (std::uint32_t c : line) {
        const FT_GlyphSlot slot = RenderFontGlyph(font, c);
        const FT_Bitmap& bitmap = slot->bitmap;
        for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
            const int y = baseline - slot->bitmap_top + row;
            if (y < 0 || y >= canvas->height)
                continue;
            const unsigned char* source = bitmap.buffer + row * bitmap.pitch;
            for (int col = 0; col < static_cast<int>(bitmap.width); ++col) {
                const int px = x + slot->bitmap_left + col;
                if (px >= 0 && px < canvas->width && source[col] > 0)
                    BlendCoverage(&canvas->pixels[static_cast<std::size_t>(y) * canvas->width + px],
                                  color, source[col]);
            }
        }
        x += static_cast<int>(slot->advance.x >> 6);
    }
}

void DrawMessage(Canvas* canvas, const FontFace& font, const MessageLayout& layout, bool pressed) {
    canvas->width = layout.width;
    canvas->height = layout.height;
    canvas->pixels.assign(static_cast<std::size_t>(layout.width) * layout.height, BACKGROUND);
    for (std::size_t i = 0; i < layout.lines.size(); ++i)
        DrawLine(canvas, font, layout.lines[i], MESSAGE_TEXT_LEFT,
                 MESSAGE_TEXT_TOP + static_cast<int>(i) * LINE_HEIGHT, INK);
    const SDL_Rect& b = layout.button;
    FillRect(canvas, b.x, b.y, b.w, b.h, BUTTON_BORDER);
    FillRect(canvas, b.x + 2, b.y + 2, b.w - 4, b.h - 4, pressed ? BUTTON_PRESSED : BUTTON_FACE);
    const MessageLine ok = {'O', 'K'};
    DrawLine(canvas, font, ok, b.x + (b.w - MeasureLine(font, ok)) / 2,
             b.y + (b.h - MESSAGE_FONT_EM) / 2, INK);
}

bool Present(SDL_Window* window, Canvas* canvas) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormatFrom(canvas->pixels.data(), canvas->width, canvas->height, 32,
                                           canvas->width * 4, SDL_PIXELFORMAT_ARGB8888);
    const bool ok = target && source && SDL_BlitSurface(source, nullptr, target, nullptr) == 0 &&
                    SDL_UpdateWindowSurface(window) == 0;
    SDL_FreeSurface(source);
    return ok;
}

// Input meant for the game while the box is up goes nowhere, as input to a window
// under a modal box does.
bool IsPlayerInput(Uint32 type) {
    return (type >= SDL_KEYDOWN && type < SDL_KEYMAPCHANGED) ||
           (type >= SDL_MOUSEMOTION && type <= SDL_MOUSEWHEEL) ||
           (type >= SDL_JOYAXISMOTION && type <= SDL_JOYBUTTONUP) ||
           (type >= SDL_CONTROLLERAXISMOTION && type <= SDL_CONTROLLERBUTTONUP) ||
           (type >= SDL_CONTROLLERTOUCHPADDOWN && type <= SDL_CONTROLLERSENSORUPDATE) ||
           (type >= SDL_FINGERDOWN && type <= SDL_MULTIGESTURE);
}

bool IsCloseKey(SDL_Keycode key) {
    return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_RETURN2 ||
           key == SDLK_ESCAPE || key == SDLK_SPACE;
}

bool InButton(const MessageLayout& layout, int x, int y) {
    const SDL_Point point = {x, y};
    return SDL_PointInRect(&point, &layout.button);
}

// Runs the box until it closes. Events that are not the box's and not the player's
// input are handed back in *kept, in order.
void RunMessageLoop(SDL_Window* window, Canvas* canvas, const FontFace& font,
                    const MessageLayout& layout, std::vector<SDL_Event>* kept) {
    const Uint32 id = SDL_GetWindowID(window);
    bool pressed = false;
    for (;;) {
        // Polled, not waited for: while SDL waits it wakes its newest window through a
        // second X connection, and a wake-up still in flight when the box is destroyed
        // is an X error that ends the program.
        SDL_Event event;
        if (SDL_PollEvent(&event) == 0) {
            SDL_Delay(POLL_MS);
            continue;
        }
        switch (event.type) {
        case SDL_QUIT:
            // The player wants out: the box goes, and the game sees the quit next.
            kept->push_back(event);
            return;
        case SDL_KEYDOWN:
            // Keys close the box from the game window too: that window takes no input now.
            // A held key's repeats do not close the boxes that follow.
            if (!event.key.repeat && IsCloseKey(event.key.keysym.sym))
                return;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.windowID == id && event.button.button == SDL_BUTTON_LEFT) {
                const bool inButton = InButton(layout, event.button.x, event.button.y);
                if (event.type == SDL_MOUSEBUTTONUP && pressed && inButton)
                    return;
                pressed = event.type == SDL_MOUSEBUTTONDOWN && inButton;
                DrawMessage(canvas, font, layout, pressed);
                Present(window, canvas);
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID != id) {
                kept->push_back(event);
                if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                    return;
            } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                return;
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                Present(window, canvas);
            }
            break;
        default:
            if (!IsPlayerInput(event.type))
                kept->push_back(event);
            break;
        }
    }
}

// The window an event is about, 0 for events about no window.
Uint32 EventWindowId(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTEDITING:
        return event.edit.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    default:
        return 0;
    }
}

// Destroying the box queues its own last events (hidden, focus lost): the game must not
// take them for its window's.
int DropBoxEvents(void* boxId, SDL_Event* event) {
    return EventWindowId(*event) == *static_cast<Uint32*>(boxId) ? 0 : 1;
}

// SDL may back the box's surface with a renderer of its own, whose GL context it makes
// current: the game's context is made current again when the box goes.
struct GameContext {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    SDL_GLContext context = SDL_GL_GetCurrentContext();
};

void DestroyBox(SDL_Window* window, const GameContext& game) {
    Uint32 id = SDL_GetWindowID(window);
    SDL_DestroyWindow(window);
    if (game.context)
        SDL_GL_MakeCurrent(game.window, game.context);
    SDL_PumpEvents();
    SDL_FilterEvents(DropBoxEvents, &id);
}

void PushEvents(std::vector<SDL_Event>* events) {
    for (SDL_Event& event : *events)
        SDL_PushEvent(&event);
}

// The events held back while the box showed go to the game before those that came
// with its going: the game window's focus lost to the box, then the focus given back.
// Pushed after them, the stale loss would be the last word, and the game would take no
// input until its focus changed again.
void PushEventsBeforeQueued(std::vector<SDL_Event>* events) {
    std::vector<SDL_Event> queued;
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1)
        queued.push_back(event);
    PushEvents(events);
    PushEvents(&queued);
}

} // namespace

bool ShowMessageWindow(const char* caption, const char* text, void* parent) {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    // Whatever waited before the box appeared was meant for the game: it gets it after.
    std::vector<SDL_Event> kept;
    SDL_PumpEvents();
    SDL_Event waiting;
    while (SDL_PeepEvents(&waiting, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1)
        kept.push_back(waiting);
    FontFace font;
    if (!OpenFontFace(MESSAGE_FONT_FACE, MESSAGE_FONT_EM, MESSAGE_FONT_EM, &font)) {
        PushEvents(&kept);
        return false;
    }
    const MessageLayout layout = LayOutMessage(font, text);
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    auto* owner = static_cast<SDL_Window*>(parent);
    if (owner) {
        int ox = 0, oy = 0, ow = 0, oh = 0;
        SDL_GetWindowPosition(owner, &ox, &oy);
        SDL_GetWindowSize(owner, &ow, &oh);
        x = ox + (ow - layout.width) / 2;
        y = oy + (oh - layout.height) / 2;
    }
    const GameContext game;
    SDL_Window* window =
        SDL_CreateWindow(caption, x, y, layout.width, layout.height, SDL_WINDOW_HIDDEN);
    Canvas canvas;
    if (window) {
        if (owner)
            SDL_SetWindowModalFor(window, owner);
        SDL_ShowWindow(window);
        DrawMessage(&canvas, font, layout, false);
        if (!Present(window, &canvas)) {
            DestroyBox(window, game);
            window = nullptr;
        }
    }
    if (!window) {
        CloseFontFace(&font);
        PushEvents(&kept);
        return false;
    }
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
    const int cursor = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(SDL_ENABLE);
    RunMessageLoop(window, &canvas, font, layout, &kept);
    SDL_ShowCursor(cursor);
    DestroyBox(window, game);
    CloseFontFace(&font);
    PushEventsBeforeQueued(&kept);
    return true;
}
