#include "render/camera.h"

#include "render/render_setup.h"

#include <cmath>

Camera g_camera = {
    0.0f,
    nullptr,
    nullptr,
    nullptr,
    {},
    {},
    {0.0f, 100.0f, 0.0f},
    {0.0f, 0.0f, 0.0f},
    {0.0f, 1.0f, 0.0f},
    1.5707964f,
    1.3333334f,
    1.0f,
    1000.0f,
};

namespace {

constexpr float HALF_PI = 1.5707964f;

} // namespace

void SetCameraLookAt(Camera* camera, const Vec3& eye, const Vec3& at) {
    camera->eye = eye;
    camera->at = at;
    MatrixLookAtLH(&camera->view, &camera->eye, &camera->at, &camera->up);
}

void SetupCameraProjection() {
    g_camera.fovY = FIELD_FOV_Y;
    g_camera.zNear = FIELD_Z_NEAR;
    g_camera.zFar = FIELD_Z_FAR;
    MatrixPerspectiveFovLH(&g_camera.projection, g_camera.fovY, FIELD_ASPECT, g_camera.zNear,
                           g_camera.zFar);
    if (g_pD3DDevice) {
        g_pD3DDevice->SetTransform(TS_VIEW, &g_camera.view);
        g_pD3DDevice->SetTransform(TS_PROJECTION, &g_camera.projection);
    }
}

void GetCameraAngles(float* yaw, float* pitch) {
    const float dx = g_camera.eye.x - g_camera.at.x;
    const float dy = g_camera.eye.y - g_camera.at.y;
    const float dz = g_camera.eye.z - g_camera.at.z;
    if (dx == 0.0f && dz == 0.0f)
        *yaw = 0.0f;
    else if (dx < 0.0f)
        *yaw = HALF_PI - std::atan(dz / dx);
    else
        *yaw = -std::atan(dz / dx) - HALF_PI;
    const float h = std::sqrt(dx * dx + dz * dz);
    if (dy < 0.0f)
        *pitch = -std::atan(h / dy) - HALF_PI;
    else
        *pitch = HALF_PI - std::atan(h / dy);
}

Vec3 ProjectWorldPoint(const Matrix& view, const Matrix& projection, const Vec3& world) {
    const Viewport screen = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0.0f, 1.0f};
    Vec3 point;
    Vec3Project(&point, &world, &screen, &projection, &view, nullptr);
    return point;
}

Vec3 UnprojectScreenPoint(const Matrix& view, const Matrix& projection, int x, int y, float depth) {
    Matrix inverseView;
    Matrix inverseProjection;
    MatrixInverse(&inverseView, nullptr, &view);
    MatrixInverse(&inverseProjection, nullptr, &projection);
    const Matrix viewport = {{
        {512.0f, 0.0f, 0.0f, 0.0f},
        {0.0f, -384.0f, 0.0f, 0.0f},
        {0.0f, 0.0f, 1.0f, 0.0f},
        {512.0f, 384.0f, 0.0f, 1.0f},
    }};
    Matrix inverseViewport;
    MatrixInverse(&inverseViewport, nullptr, &viewport);
    Matrix m;
    MatrixMultiply(&m, &inverseViewport, &inverseProjection);
    MatrixMultiply(&m, &m, &inverseView);
    const Vec3 screen = {static_cast<float>(x), static_cast<float>(y), depth};
    Vec3 world;
    Vec3TransformCoord(&world, &screen, &m);
    return world;
}

Vec3 PickGroundPoint(const Matrix& view, const Matrix& projection, int x, int y) {
    const Vec3 nearPoint = UnprojectScreenPoint(view, projection, x, y, 0.0f);
    const Vec3 farPoint = UnprojectScreenPoint(view, projection, x, y, 1.0f);
    const Vec3 ray = {farPoint.x - nearPoint.x, farPoint.y - nearPoint.y, farPoint.z - nearPoint.z};
    Vec3 direction;
    Vec3Normalize(&direction, &ray);
    if (direction.y >= 0.0f)
        return farPoint;
    const float t = -nearPoint.y / direction.y;
    return {nearPoint.x + t * direction.x, nearPoint.y + t * direction.y,
            nearPoint.z + t * direction.z};
}
