// The message box's own window: the caption as its title, the text wrapped and drawn
// with the game's Gothic face, and an OK button. It is drawn in software, so it reads
// the same on X11 and Wayland whatever X fonts are installed.
#pragma once

// The message text's face and its em in pixels.
constexpr const char* MESSAGE_FONT_FACE = "ＭＳ ゴシック";
constexpr int MESSAGE_FONT_EM = 16;
// Where the first line of text starts in the box, the line's top-left as the game's
// text drawing takes it.
constexpr int MESSAGE_TEXT_LEFT = 20;
constexpr int MESSAGE_TEXT_TOP = 20;

// Shows the box centred on parent (an SDL_Window*, or null for the screen's centre)
// and waits until Enter, Escape, Space, a click on OK or the window's close button
// closes it. Meanwhile the player's input to other windows is dropped and their other
// events are kept for the game. false when the window cannot be made (no video, no
// font): nothing was shown.
bool ShowMessageWindow(const char* caption, const char* text, void* parent);
