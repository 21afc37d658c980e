// Shift-JIS text (code page 932, with its NEC and IBM extensions) as Unicode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::uint32_t CP932_REPLACEMENT = 0xFFFD;

// True for a byte that starts a two-byte character.
bool IsCp932LeadByte(std::uint8_t byte);

// Decodes the character at the start of bytes (count ≥ 1 bytes available) and returns
// the bytes it takes: 1, or 2 for a lead byte followed by a second byte. A lead byte
// at the end of the text takes 1 byte. Undecodable characters give CP932_REPLACEMENT.
int DecodeCp932Char(const std::uint8_t* bytes, int count, std::uint32_t* codepoint);

// The whole text as UTF-8.
std::string Cp932ToUtf8(const char* text, std::size_t length);
// Where a UTF-8 text stopped being convertible: the byte offset of the character, and
// the character (0 when the bytes there are not valid UTF-8).
struct Utf8Stop {
    std::size_t offset = 0;
    std::uint32_t codepoint = 0;
};

// UTF-8 text as Shift-JIS (code page 932). false, and out unchanged, when the text is
// not valid UTF-8 or holds a character that code page 932 cannot write; *stop (when
// given) then tells where and which.
bool Utf8ToCp932(const std::string& text, std::string* out, Utf8Stop* stop = nullptr);
