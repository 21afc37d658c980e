// The field's per-frame object step: each active character is grounded, the lead's
// press is checked against the characters, every step is stopped at the walls of the
// attribute grid or sent through its exits, and then the event markers take theirs.
#pragma once

#include "platform/gfx/gfx_math.h"

struct FieldCharacter;

// Grounds, click-checks, walls and exits, accepts each active character's step;
// then the cursor box and the event markers.
void UpdateFieldObjects();
// Walls and exits of the attribute grid for one character's step.
void CollideWithAttributes(FieldCharacter* character);
// Proper crossing of the 2D segments p1-p2 and q1-q2 (x, y of each point are world x, z).
bool SegmentsCross(const Vec2& p1, const Vec2& p2, const Vec2& q1, const Vec2& q2);
