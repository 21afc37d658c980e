// Steps on a map's attribute grid put through the game's own wall and exit scan, for
// the checks of zrn lint and for map builders that ask zrn steps, so that walls and
// exits act there exactly as they do in the field.
#pragma once

#include "lint_report.h"

#include "field/terrain.h"

#include <cstdint>
#include <vector>

using AttributeGrid = std::int32_t[ATTRIBUTE_GRID_SIZE][ATTRIBUTE_GRID_SIZE];

struct MapStep {
    float x, z; // where the step ends after the walls
    bool exit;  // it began a map change
    int destination;
    float arrivalX, arrivalZ;
};

// Sides of a cell, as bits of AttributeKind::facedSides: the neighbour a walker comes
// from (down is the row below, at lower z).
constexpr int SIDE_DOWN = 1, SIDE_RIGHT = 2, SIDE_UP = 4, SIDE_LEFT = 8;

// What an attribute value does, found by stepping into and out of a cell of it on an
// empty grid: nothing, a wall (the sides from which a walker is kept out), or an exit.
struct AttributeKind {
    enum { NONE, WALL, EXIT } effect;
    int facedSides;
    MapStep exitStep; // for an exit: where it leads
};
const AttributeKind& AttributeKindOf(int value);

// The attribute grid of a map whose base file the game accepts, read by the game; the
// attribute file's tokens for the lines, and its W * S columns and H * S rows. false
// without one.
bool LoadAttributeGrid(const LintFiles& files, int map, AttributeGrid* grid,
                       std::vector<LintToken>* tokens, int* columns, int* rows);
// Makes grid the one the game's scan reads.
void UseAttributeGrid(const AttributeGrid& grid);
// One step of a walker on the grid in use, as the object step takes it.
MapStep TakeMapStep(float fromX, float fromZ, float toX, float toZ);
// The lead's first step when the game starts: from where it is placed to its start point.
void LeadFirstStep(float* fromX, float* fromZ, float* toX, float* toZ);
