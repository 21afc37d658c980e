// Result codes and small records shared by the stand-ins and the game, with the
// values the game tests for.
#pragma once

#include <cstdint>

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// Left, top, right, bottom in pixels.
struct IntRect {
    int left;
    int top;
    int right;
    int bottom;
};
