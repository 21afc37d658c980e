// The one tokeniser of script tags, model texts and map data files: text is split
// in place at runs of delimiter bytes, with no empty tokens, and stops at a NUL.
#pragma once

// Space, "=", "|", "]", ",", line feed and the capital letters E, O and F.
constexpr const char* TOKEN_DELIMITERS = " =|],\nEOF";
// The delimiters of the words after an [eval] or [if] tag name.
constexpr const char* WORD_DELIMITERS = " \"";

// Returns the next token at or after *cursor and ends it with a NUL written over
// the delimiter that follows it; *cursor moves past that delimiter. Returns null
// when only delimiters remain before the NUL that ends the text.
char* NextToken(char** cursor, const char* delimiters);

// The C conversions: optional blanks and sign, then the leading digits; no digits
// give 0. Integers outside the 32-bit range saturate instead of overflowing.
int TokenToInt(const char* token);
float TokenToFloat(const char* token);
