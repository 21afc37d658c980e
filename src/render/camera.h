// The one fixed camera of the field: eye and target from the map's base file, the
// projection set at start-up, the viewing angles that turn the character sprites,
// and the picking that turns a mouse pixel into a point on the ground.
#pragma once

#include "platform/gfx/gfx_math.h"

struct GfxSurface;
struct GfxVertexBuffer;

struct Camera {
    float yaw; // atan2 of the horizontal direction from the target toward the eye
    GfxSurface* backBuffer;
    GfxSurface* backDepth;
    GfxVertexBuffer* screenQuadBuffer;
    Matrix view;
    Matrix projection;
    Vec3 eye;
    Vec3 at;
    Vec3 up;
    float fovY;
    float aspect;
    float zNear;
    float zFar;
};

extern Camera g_camera;

constexpr float FIELD_FOV_Y = 0.2617994f; // 15 degrees
constexpr float FIELD_ASPECT = 1.3333334f;
constexpr float FIELD_Z_NEAR = 1.0f;
constexpr float FIELD_Z_FAR = 200.0f;

// Keeps eye and target and rebuilds the left-handed look-at view with the camera's up.
void SetCameraLookAt(Camera* camera, const Vec3& eye, const Vec3& at);
// The field projection (15 degrees, 4:3, 1 to 200) into g_camera, then the device's
// view and projection transforms from the record.
void SetupCameraProjection();
// The direction from the target to the eye of g_camera as yaw and pitch, in single
// precision. An eye straight above the target has yaw 0.
void GetCameraAngles(float* yaw, float* pitch);
// The world point under screen pixel (x, y) at depth 0 (near plane) to 1 (far plane)
// of the 1024 x 768 screen.
Vec3 UnprojectScreenPoint(const Matrix& view, const Matrix& projection, int x, int y, float depth);
// The screen point (x, y, depth) of the 1024 x 768 screen where the world point is seen:
// the inverse of UnprojectScreenPoint.
Vec3 ProjectWorldPoint(const Matrix& view, const Matrix& projection, const Vec3& world);
// Where the ray through pixel (x, y) meets the ground plane y = 0; a ray that rises
// or runs level returns its point on the far plane.
Vec3 PickGroundPoint(const Matrix& view, const Matrix& projection, int x, int y);
