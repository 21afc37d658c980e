#include "field/collision_box.h"

#include <cmath>

CollisionBox g_cursorBox;

namespace {

float Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float HalfExtent(const CollisionBox& box, int k) {
    return k == 0 ? box.halfExtents.x : k == 1 ? box.halfExtents.y : box.halfExtents.z;
}

// Sum of the box's half-extent vectors projected on axis, leaving out axis `skip`
// (-1 keeps all three).
float ProjectedRadius(const CollisionBox& box, const Vec3& axis, int skip) {
    float radius = 0.0f;
    for (int k = 0; k < 3; ++k) {
        if (k != skip)
            radius += std::fabs(Dot(box.axes[k], axis) * HalfExtent(box, k));
    }
    return radius;
}

// Length of the box's half-extent vector k.
float OwnRadius(const CollisionBox& box, int k) {
    return std::fabs(HalfExtent(box, k)) * std::sqrt(Dot(box.axes[k], box.axes[k]));
}

bool Separates(const Vec3& d, const Vec3& axis, float ra, float rb) {
    return std::fabs(Dot(d, axis)) > ra + rb;
}

} // namespace

void InitCollisionBox(CollisionBox* box, int e0, int e1, int e2) {
    box->centre = {0.0f, 0.0f, 0.0f};
    box->axes[0] = {1.0f, 0.0f, 0.0f};
    box->axes[1] = {0.0f, 1.0f, 0.0f};
    box->axes[2] = {0.0f, 0.0f, 1.0f};
    box->halfExtents = {static_cast<float>(e0), static_cast<float>(e1), static_cast<float>(e2)};
}

bool BoxesOverlap(const CollisionBox& a, const CollisionBox& b) {
    const Vec3 d = {b.centre.x - a.centre.x, b.centre.y - a.centre.y, b.centre.z - a.centre.z};
    for (int k = 0; k < 3; ++k) {
        if (Separates(d, b.axes[k], ProjectedRadius(a, b.axes[k], -1), OwnRadius(b, k)))
            return false;
    }
    for (int k = 0; k < 3; ++k) {
        if (Separates(d, a.axes[k], OwnRadius(a, k), ProjectedRadius(b, a.axes[k], -1)))
            return false;
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const Vec3 axis = Cross(b.axes[i], a.axes[j]);
            if (Separates(d, axis, ProjectedRadius(a, axis, j), ProjectedRadius(b, axis, i)))
                return false;
        }
    }
    return true;
}
