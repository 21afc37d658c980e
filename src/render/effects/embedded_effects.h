// The effect sources built into the program (one entry per file in render/effects).
#pragma once

struct EmbeddedText {
    const char* name; // the file name without extension, e.g. "basic"
    const char* text;
};

extern const EmbeddedText g_embeddedEffects[];
extern const int g_embeddedEffectCount;
