// Line ends of the text files read from the archive. The game's texts are written
// with CR LF, but an author's editor may write LF alone (any Linux editor) or CR
// alone (old Mac editors). These turn such texts into what the readers expect,
// and leave a text with CR LF line ends byte for byte as it was.
#pragma once

#include <cstddef>
#include <vector>

// In place, same length: a text with no line feed at all but with carriage returns
// has CR-only line ends, and each carriage return becomes a line feed. For the
// readers that split at line feeds and let a carriage return before one pass.
void ConvertLoneCarriageReturns(char* text, std::size_t length);

// The text with CR LF line ends. A text with any CR LF in it counts as written with
// CR LF and stays as it is (so an extra line feed in it still reads as before);
// otherwise each line feed gets a carriage return before it, or, in a text with
// no line feed, each carriage return a line feed after it. For the readers that
// count on the CR of every CR LF.
std::vector<char> ToCrLfLineEnds(const char* text, std::size_t length);
