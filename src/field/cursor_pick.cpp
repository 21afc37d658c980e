#include "field/cursor_pick.h"

#include "field/terrain.h"
#include "render/camera.h"

Vec3 g_pickedPoint;

void UpdatePickedPoint(const Matrix& view, const Matrix& projection, int x, int y) {
    const Vec3 pick = PickGroundPoint(view, projection, x, y);
    g_pickedPoint.x = pick.x;
    g_pickedPoint.z = pick.z;
    GroundHeight(&g_pickedPoint);
}
