// Choices: the link records that [link] fills and the selection that [s] starts.
#pragma once

#include "render/screen_quad.h"

constexpr int LINK_COUNT = 10;
constexpr int LINK_TARGET_SIZE = 256;

struct LinkRecord {
    ScreenQuad quad;
    char target[LINK_TARGET_SIZE]; // label name, NUL-terminated
    bool present;                  // belongs to the current choice
    bool hover;                    // the pointer touches it
    bool hasTarget;                // the tag named a target; a link without one goes nowhere
};

extern LinkRecord g_links[LINK_COUNT];
extern int g_linkCount;

void LinkTag(int length);
// Hit-tests the links against the pointer; a held left button follows the one hit.
void SelectLink();
void FollowLink(int k);
