#include "render/screen_quad.h"

#include <gtest/gtest.h>

TEST(ScreenQuad, SetQuadWritesCornersColourAndTextureIn64ths) {
    struct Case {
        int alpha;
        float tu1, tv1;
        std::uint32_t color;
        float u1, v1;
    };
    const Case cases[] = {
        {255, 64, 64, 0xFFFFFFFFu, 1.0f, 1.0f},
        {254, 64, 64, 0xFEFFFFFFu, 1.0f, 1.0f},
        {127, 32, 32, 0x7FFFFFFFu, 0.5f, 0.5f},
    };
    for (const Case& c : cases) {
        ScreenQuad q;
        SetQuad(&q, c.alpha, 202, 0, 821, 896, 0, 0, c.tu1, c.tv1);
        const float xy[4][2] = {{202, 0}, {821, 0}, {821, 896}, {202, 896}};
        const float uv[4][2] = {{0, 0}, {c.u1, 0}, {c.u1, c.v1}, {0, c.v1}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(q.v[i].x, xy[i][0]);
            EXPECT_EQ(q.v[i].y, xy[i][1]);
            EXPECT_EQ(q.v[i].z, 0.0f);
            EXPECT_EQ(q.v[i].rhw, 1.0f);
            EXPECT_EQ(q.v[i].diffuse, c.color) << "alpha " << c.alpha;
            EXPECT_EQ(q.v[i].u, uv[i][0]);
            EXPECT_EQ(q.v[i].v, uv[i][1]);
        }
    }
}

TEST(ScreenQuad, ClampQuadMovesInsideStepByStep) {
    struct Case {
        float left, top, size;
        float x0, y0; // expected top-left after the clamp
    };
    const Case cases[] = {
        {1000, 760, 48, 976, 720}, // the cursor in the bottom-right corner
        {-10, -5, 48, 0, 0},
        {100, 100, 48, 100, 100},
        {-10, -10, 2000, -976, -1232}, // larger than the bounds: ends on right and bottom
    };
    for (const Case& c : cases) {
        ScreenQuad q;
        SetQuad(&q, 255, c.left, c.top, c.left + c.size, c.top + c.size, 0, 0, 64, 64);
        ClampQuad(&q, 0, 0, 1024, 768);
        EXPECT_EQ(q.v[0].x, c.x0) << c.left;
        EXPECT_EQ(q.v[0].y, c.y0) << c.top;
        EXPECT_EQ(q.v[2].x - q.v[0].x, c.size);
    }
}

TEST(ScreenQuad, MoveAndTexRectChangeOnlyTheirFields) {
    ScreenQuad q;
    SetQuad(&q, 255, 0, 0, 64, 64, 0, 0, 64, 64);
    MoveQuad(&q, 10, 20, 0.5f);
    SetQuadTexRect(&q, 16, 0, 32, 16);
    EXPECT_EQ(q.v[2].x, 74.0f);
    EXPECT_EQ(q.v[2].y, 84.0f);
    EXPECT_EQ(q.v[2].z, 0.5f);
    EXPECT_EQ(q.v[0].u, 0.25f);
    EXPECT_EQ(q.v[2].u, 0.5f);
    EXPECT_EQ(q.v[2].v, 0.25f);
    EXPECT_EQ(q.v[0].diffuse, 0xFFFFFFFFu);
}
