// The ground point under the mouse cursor: the input latch picks its x and z and
// lifts it onto the terrain; the lead walks to it, the cursor box follows it and
// the 3D cursor is drawn on it.
#pragma once

#include "platform/gfx/gfx_math.h"

extern Vec3 g_pickedPoint;

// The field picks the ground this many rows above the pointer.
constexpr int PICK_ROWS_ABOVE_POINTER = 32;

// What the input latch does in the field: the pick through pixel (x, y) with the
// given view and projection, x and z kept, y from the ground.
void UpdatePickedPoint(const Matrix& view, const Matrix& projection, int x, int y);
