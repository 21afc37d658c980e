// Why a file given as a bitmap does not load, in words for an author's console line
// and for zrn lint: another picture format, a file cut short, a broken header.
#pragma once

#include <cstdint>

// nullptr when the bytes decode as a bitmap; otherwise a short reason in English.
const char* DescribeBitmapFailure(const void* data, std::uint32_t size);
