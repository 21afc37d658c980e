// A map's camera as the map loader sets it up from the base file, for the checks of
// zrn lint and the picture of zrn map: which ground points the player can click.
#pragma once

#include "lint_report.h"

#include "field/map_files.h"
#include "platform/gfx/gfx_math.h"

struct MapView {
    Matrix view;
    Matrix projection;
};

// The header of a map's base file (camera and size) as the game reads it; false when
// the map has no base file the game accepts.
bool ReadMapBase(const LintFiles& files, int map, MapBase* header);
// false when the map has no base file the game accepts.
bool LoadMapView(const LintFiles& files, int map, MapView* out);
// The ground point (x, 0, z) is seen where the pointer can pick it.
bool GroundPointClickable(const MapView& view, float x, float z);
