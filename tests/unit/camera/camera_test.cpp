#include "render/camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void LookFrom(const Vec3& eye, const Vec3& at) {
    SetCameraLookAt(&g_camera, eye, at);
    MatrixPerspectiveFovLH(&g_camera.projection, FIELD_FOV_Y, FIELD_ASPECT, FIELD_Z_NEAR,
                           FIELD_Z_FAR);
}

struct AngleCase {
    Vec3 eye;
    Vec3 at;
    float yaw;
    float pitch;
};

TEST(CameraAngles, FollowTheDirectionFromTargetToEye) {
    const float pi = 3.1415927f;
    const AngleCase cases[] = {
        {{0, 20, -20}, {0, 0, 0}, 0.0f, pi / 4},
        // Straight above the target the yaw has no direction: 0.
        {{0, 20, 0}, {0, 0, 0}, 0.0f, pi / 2},
        {{-10, 10, 0}, {0, 0, 0}, pi / 2, pi / 4},
        {{10, 0, 0}, {0, 0, 0}, -pi / 2, 0.0f},
    };
    for (const AngleCase& c : cases) {
        LookFrom(c.eye, c.at);
        float yaw = 99.0f;
        float pitch = 99.0f;
        GetCameraAngles(&yaw, &pitch);
        EXPECT_NEAR(yaw, c.yaw, 1e-6f) << c.eye.x << " " << c.eye.y << " " << c.eye.z;
        EXPECT_NEAR(pitch, c.pitch, 1e-6f) << c.eye.x << " " << c.eye.y << " " << c.eye.z;
    }
}

TEST(CameraPick, ScreenCentreLooksAtTheTarget) {
    LookFrom({10, 30, -20}, {10, 0, 8});
    const Vec3 nearPoint = UnprojectScreenPoint(g_camera.view, g_camera.projection, 512, 384, 0);
    const Vec3 ground = PickGroundPoint(g_camera.view, g_camera.projection, 512, 384);
    EXPECT_NEAR(ground.x, 10.0f, 1e-3f);
    EXPECT_NEAR(ground.y, 0.0f, 1e-3f);
    EXPECT_NEAR(ground.z, 8.0f, 1e-3f);
    // The near point lies on the line of sight, one unit in front of the eye.
    const float dx = nearPoint.x - 10, dy = nearPoint.y - 30, dz = nearPoint.z + 20;
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 1.0f, 1e-3f);
    EXPECT_NEAR(dx, 0.0f, 1e-4f);
}

TEST(CameraPick, RaysThatNeverMeetTheGroundEndOnTheFarPlane) {
    // Looking up from the ground: the centre ray rises. Looking level: the centre
    // ray runs parallel to the ground.
    const Vec3 views[][2] = {{{0, 1, 0}, {0, 5, 10}}, {{0, 5, 0}, {0, 5, 10}}};
    for (const auto& view : views) {
        LookFrom(view[0], view[1]);
        const Vec3 farPoint = UnprojectScreenPoint(g_camera.view, g_camera.projection, 512, 384, 1);
        const Vec3 pick = PickGroundPoint(g_camera.view, g_camera.projection, 512, 384);
        EXPECT_FLOAT_EQ(pick.x, farPoint.x);
        EXPECT_FLOAT_EQ(pick.y, farPoint.y);
        EXPECT_FLOAT_EQ(pick.z, farPoint.z);
        EXPECT_TRUE(std::isfinite(pick.y));
        const float dx = farPoint.x - view[0].x, dy = farPoint.y - view[0].y,
                    dz = farPoint.z - view[0].z;
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 200.0f, 0.05f);
    }
}

TEST(CameraProject, IsTheInverseOfTheUnprojection) {
    LookFrom({16, 25, -14}, {16, 0, 12});
    const Vec3 target = ProjectWorldPoint(g_camera.view, g_camera.projection, {16, 0, 12});
    EXPECT_NEAR(target.x, 512.0f, 1e-3f);
    EXPECT_NEAR(target.y, 384.0f, 1e-3f);
    const struct {
        int x, y;
        float depth;
    } screenPoints[] = {{0, 0, 0.0f}, {1023, 767, 0.5f}, {300, 600, 0.99f}, {700, 20, 0.9f}};
    for (const auto& s : screenPoints) {
        const Vec3 world =
            UnprojectScreenPoint(g_camera.view, g_camera.projection, s.x, s.y, s.depth);
        const Vec3 back = ProjectWorldPoint(g_camera.view, g_camera.projection, world);
        EXPECT_NEAR(back.x, static_cast<float>(s.x), 0.05f) << s.x << " " << s.y;
        EXPECT_NEAR(back.y, static_cast<float>(s.y), 0.05f) << s.x << " " << s.y;
        EXPECT_NEAR(back.z, s.depth, 1e-4f) << s.x << " " << s.y;
    }
}

} // namespace
