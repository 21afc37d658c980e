#include "platform/gfx/gfx_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-4f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

} // namespace

TEST(GfxMath, RowVectorTransformsCompose) {
    Matrix scale, rotate, move, m;
    MatrixScaling(&scale, 2, 2, 2);
    MatrixRotationY(&rotate, 1.5707964f); // +z turns toward +x
    MatrixTranslation(&move, 3, 0, 4);
    MatrixMultiply(&m, &rotate, &move);
    MatrixMultiply(&m, &m, &scale); // the scaling comes last: it scales the position too
    Vec3 out;
    const Vec3 forward = {0, 0, 1};
    Vec3TransformCoord(&out, &forward, &m);
    ExpectVec(out, 8, 0, 8);

    Matrix ypr, y;
    MatrixRotationYawPitchRoll(&ypr, 0.7f, 0, 0);
    MatrixRotationY(&y, 0.7f);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(ypr.m[i][j], y.m[i][j], 1e-6f);
    }
}

TEST(GfxMath, InverseUndoesAndSingularGivesIdentity) {
    Matrix m, inverse, product;
    MatrixRotationYawPitchRoll(&m, 0.3f, 0.2f, 0.1f);
    m.m[3][0] = 5;
    m.m[3][2] = -7;
    ASSERT_NE(MatrixInverse(&inverse, nullptr, &m), nullptr);
    MatrixMultiply(&product, &m, &inverse);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(product.m[i][j], i == j ? 1.0f : 0.0f, 1e-5f);
    }
    Matrix zero = {};
    float det = 1;
    EXPECT_EQ(MatrixInverse(&inverse, &det, &zero), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(inverse.m[0][0], 1.0f);
}

TEST(GfxMath, LookAtAndPerspectiveProjectToTheViewport) {
    const Vec3 eye = {0, 20, -20}, at = {0, 0, 0}, up = {0, 1, 0};
    Matrix view, projection;
    MatrixLookAtLH(&view, &eye, &at, &up);
    MatrixPerspectiveFovLH(&projection, 0.2617994f, 1.3333334f, 1, 200);
    const Viewport viewport = {0, 0, 1024, 768, 0, 1};
    Vec3 screen;
    Vec3Project(&screen, &at, &viewport, &projection, &view, nullptr);
    ExpectVec(screen, 512, 384, screen.z);
    // A point nearer the eye along the view line sits at the near plane's depth side.
    const float distance = std::sqrt(800.0f);
    const float expectedZ = (200.0f / 199.0f) * (1.0f - 1.0f / distance);
    EXPECT_NEAR(screen.z, expectedZ, 1e-5f);
    const Vec3 above = {0, 1, 0};
    Vec3Project(&screen, &above, &viewport, &projection, &view, nullptr);
    EXPECT_LT(screen.y, 384.0f); // up in the world is up on screen (y down)
}

TEST(GfxMath, NormaliseKeepsZeroVectors) {
    Vec3 v3;
    const Vec3 zero3 = {0, 0, 0};
    ExpectVec(*Vec3Normalize(&v3, &zero3), 0, 0, 0, 0);
    const Vec3 long3 = {3, 0, 4};
    ExpectVec(*Vec3Normalize(&v3, &long3), 0.6f, 0, 0.8f);
    Vec4 v4;
    const Vec4 light = {0, -1, 0, 1};
    Vec4Normalize(&v4, &light);
    EXPECT_NEAR(v4.y, -0.70710677f, 1e-6f);
    EXPECT_NEAR(v4.w, 0.70710677f, 1e-6f);
    const Vec4 zero4 = {0, 0, 0, 0};
    Vec4Normalize(&v4, &zero4);
    EXPECT_EQ(v4.x, 0.0f);
    EXPECT_EQ(v4.w, 0.0f);
}
