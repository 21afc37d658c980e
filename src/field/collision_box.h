// Oriented boxes that decide touches in the field: characters, event markers and
// the box under the mouse cursor.
#pragma once

#include "platform/gfx/gfx_math.h"

struct CollisionBox {
    Vec3 centre;
    Vec3 axes[3]; // unit axes 0, 1, 2
    Vec3 halfExtents;
};

// Follows the picked ground point; half-extents (1, 3, 1) from the start-up load.
extern CollisionBox g_cursorBox;

// Centre (0, 0, 0), identity axes, the given half-extents.
void InitCollisionBox(CollisionBox* box, int e0, int e1, int e2);
// Separating-axis test in 32-bit floats; boxes that only touch overlap.
bool BoxesOverlap(const CollisionBox& a, const CollisionBox& b);
