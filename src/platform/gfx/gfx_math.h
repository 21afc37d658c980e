// Matrix and vector maths of the graphics utility. Vectors are rows multiplied on
// the left of matrices (v × M), so a transform chain reads left to right:
// world × view × projection. Each operation returns its out pointer.
#pragma once

#include <cstdint>

struct Vec2 {
    float x, y;
};

struct Vec3 {
    float x, y, z;
};

struct Vec4 {
    float x, y, z, w;
};

// m[row][column]; the translation sits in row 3.
struct Matrix {
    float m[4][4];
};

// The area of the render target that draws land in, in pixels, and its depth range.
struct Viewport {
    std::uint32_t X, Y, Width, Height;
    float MinZ, MaxZ;
};

Matrix* MatrixIdentity(Matrix* out);
// out = a × b; out may be a or b.
Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);
Matrix* MatrixTranslation(Matrix* out, float x, float y, float z);
Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz);
// Left-handed: positive angles turn +z towards +x.
Matrix* MatrixRotationY(Matrix* out, float angle);
// Roll about z, then pitch about x, then yaw about y.
Matrix* MatrixRotationYawPitchRoll(Matrix* out, float yaw, float pitch, float roll);
// The inverse of m, and its determinant when det is not null. A singular matrix has no
// inverse: out becomes the identity and the result is null.
Matrix* MatrixInverse(Matrix* out, float* det, const Matrix* m);
// View matrix of an eye looking at a point, y up given by `up`. A degenerate
// configuration (eye on the target, or up along the line of sight) yields the identity
// rotation about the eye rather than NaNs.
Matrix* MatrixLookAtLH(Matrix* out, const Vec3* eye, const Vec3* at, const Vec3* up);
// Perspective with depth 0 at the near plane and 1 at the far plane.
Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar);

// A zero-length vector yields zero.
Vec3* Vec3Normalize(Vec3* out, const Vec3* v);
// Normalises all four components together; a zero vector yields zero.
Vec4* Vec4Normalize(Vec4* out, const Vec4* v);
// (v, 1) × m divided by the resulting w. A w of exactly 0 leaves x, y, z undivided.
Vec3* Vec3TransformCoord(Vec3* out, const Vec3* v, const Matrix* m);
// v × world × view × projection, divided by w, then mapped to the viewport: x to the
// right, y down, z into [MinZ, MaxZ]. Null matrices count as the identity.
Vec3* Vec3Project(Vec3* out, const Vec3* v, const Viewport* viewport, const Matrix* projection,
                  const Matrix* view, const Matrix* world);
