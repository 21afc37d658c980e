// Code page 932's two-byte characters, generated at build time (cp932_table.py).
#pragma once

#include <cstdint>

constexpr int CP932_LEAD_COUNT = 60;   // 0x81–0x9F, 0xE0–0xFC
constexpr int CP932_TRAIL_COUNT = 189; // 0x40–0xFC
constexpr int CP932_TRAIL_FIRST = 0x40;
constexpr int CP932_ENCODING_COUNT = 9206;

// The Unicode value of each lead and second byte; 0 where the pair means nothing.
extern const std::uint16_t CP932_DOUBLE_BYTE[CP932_LEAD_COUNT][CP932_TRAIL_COUNT];

// The bytes an encoder writes for a Unicode value (one or two, high byte first),
// sorted by Unicode value. Characters reachable by several codes take the usual one.
struct Cp932Encoding {
    std::uint16_t codepoint;
    std::uint16_t bytes;
};
extern const Cp932Encoding CP932_ENCODINGS[CP932_ENCODING_COUNT];
