// The text of a message box: decoded into characters and wrapped to the box's width.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The characters of a message, line feeds kept, carriage returns and other control
// characters dropped and tabs read as spaces. Messages are UTF-8; a byte that does not
// start a valid UTF-8 sequence is read as CP932, exactly as the game reads its own
// text, so that a name taken from the data shows as the game would draw it.
std::vector<std::uint32_t> DecodeMessageText(const char* text);

using MessageLine = std::vector<std::uint32_t>;

// Breaks the text into lines no wider than maxWidth, each character advance(c) wide.
// Line feeds always break. A line too long breaks after its last space, or between two
// characters when one of them is Japanese (wide), never putting closing punctuation at
// the start of a line nor leaving opening punctuation at its end; a word with no such
// place is cut where it reaches the width. Spaces at a break are dropped.
std::vector<MessageLine> WrapMessageText(const std::vector<std::uint32_t>& text, int maxWidth,
                                         const std::function<int(std::uint32_t)>& advance);
