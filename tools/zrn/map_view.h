// A map's camera as the map loader sets it up from the base file, for the checks of
// zrn lint and the picture of zrn map: which ground points the player can click.
#pragma once

#include "lint_report.h"

#include "platform/gfx/gfx_math.h"

struct MapView {
    Matrix view;
    Matrix projection;
};

// false when the map has no base file the game accepts.
bool LoadMapView(const LintFiles& files, int map, MapView* out);
// The ground point (x, 0, z) is seen where the pointer can pick it.
bool GroundPointClickable(const MapView& view, float x, float z);
