#include "ground_aim.h"

#include "core/frame_clock.h"
#include "field/cursor_pick.h"
#include "render/camera.h"
#include "render/render_setup.h"

#include <cmath>

bool AimAtGroundPoint(double x, double z, int* pointerX, int* pointerY) {
    if (!g_pD3DDevice)
        return false;
    Matrix view, projection;
    g_pD3DDevice->GetTransform(TS_VIEW, &view);
    g_pD3DDevice->GetTransform(TS_PROJECTION, &projection);
    const Vec3 target = {static_cast<float>(x), 0.0f, static_cast<float>(z)};
    const Vec3 seen = ProjectWorldPoint(view, projection, target);
    if (!(seen.z >= 0.0f && seen.z <= 1.0f))
        return false;
    // The pick goes through whole pixels: of the four round the projection, the one
    // whose pick lands nearest the point.
    const int left = static_cast<int>(std::floor(seen.x));
    const int top = static_cast<int>(std::floor(seen.y));
    bool found = false;
    float best = 0.0f;
    int bestX = 0, bestY = 0;
    for (int px = left; px <= left + 1; ++px) {
        for (int py = top; py <= top + 1; ++py) {
            if (px < 0 || px >= SCREEN_WIDTH || py < 0 ||
                py + PICK_ROWS_ABOVE_POINTER >= SCREEN_HEIGHT)
                continue;
            const Vec3 pick = PickGroundPoint(view, projection, px, py);
            const float dx = pick.x - target.x;
            const float dz = pick.z - target.z;
            const float distance = dx * dx + dz * dz;
            if (!found || distance < best) {
                found = true;
                best = distance;
                bestX = px;
                bestY = py;
            }
        }
    }
    if (!found)
        return false;
    // The latch subtracts the window's corner and the pick rows from the pointer.
    *pointerX = bestX + static_cast<int>(g_windowPosX);
    *pointerY = bestY + PICK_ROWS_ABOVE_POINTER + static_cast<int>(g_windowPosY);
    return true;
}
