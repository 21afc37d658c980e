#include "platform/gfx/gfx_math.h"

#include <cmath>
#include <cstring>

namespace {

Vec3 Sub3(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 Cross3(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot3(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec4 TransformRow(const Vec4& v, const Matrix& m) {
    Vec4 r;
    r.x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0];
    r.y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1];
    r.z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2];
    r.w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3];
    return r;
}

} // namespace

Matrix* MatrixIdentity(Matrix* out) {
    std::memset(out, 0, sizeof(*out));
    out->m[0][0] = out->m[1][1] = out->m[2][2] = out->m[3][3] = 1.0f;
    return out;
}

Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] +
                        a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
        }
    }
    *out = r;
    return out;
}

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z) {
    MatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz) {
    MatrixIdentity(out);
    out->m[0][0] = sx;
    out->m[1][1] = sy;
    out->m[2][2] = sz;
    return out;
}

Matrix* MatrixRotationY(Matrix* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    MatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][2] = -s;
    out->m[2][0] = s;
    out->m[2][2] = c;
    return out;
}

Matrix* MatrixRotationYawPitchRoll(Matrix* out, float yaw, float pitch, float roll) {
    const float cy = std::cos(yaw), sy = std::sin(yaw);
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cr = std::cos(roll), sr = std::sin(roll);
    Matrix rollM, pitchM, yawM;
    MatrixIdentity(&rollM);
    rollM.m[0][0] = cr;
    rollM.m[0][1] = sr;
    rollM.m[1][0] = -sr;
    rollM.m[1][1] = cr;
    MatrixIdentity(&pitchM);
    pitchM.m[1][1] = cp;
    pitchM.m[1][2] = sp;
    pitchM.m[2][1] = -sp;
    pitchM.m[2][2] = cp;
    MatrixIdentity(&yawM);
    yawM.m[0][0] = cy;
    yawM.m[0][2] = -sy;
    yawM.m[2][0] = sy;
    yawM.m[2][2] = cy;
    MatrixMultiply(out, &rollM, &pitchM);
    return MatrixMultiply(out, out, &yawM);
}

Matrix* MatrixInverse(Matrix* out, float* det, const Matrix* m) {
    // Cofactor expansion in double precision, so that view and projection matrices
    // with large and small entries invert without visible error.
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = m->m[i / 4][i % 4];
    double inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] +
             a[9] * a[7] * a[14] + a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
             a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] +
             a[8] * a[7] * a[13] + a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
              a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
             a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] +
             a[8] * a[3] * a[14] + a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] -
             a[8] * a[3] * a[13] - a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] +
              a[8] * a[2] * a[13] + a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] -
             a[4] * a[3] * a[14] - a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] +
              a[4] * a[3] * a[13] + a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] -
              a[4] * a[2] * a[13] - a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] -
             a[5] * a[3] * a[10] - a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    const double d = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det)
        *det = static_cast<float>(d);
    if (d == 0.0 || !std::isfinite(d)) {
        MatrixIdentity(out);
        return nullptr;
    }
    for (int i = 0; i < 16; ++i)
        out->m[i / 4][i % 4] = static_cast<float>(inv[i] / d);
    return out;
}

Matrix* MatrixLookAtLH(Matrix* out, const Vec3* eye, const Vec3* at, const Vec3* up) {
    Vec3 zAxis, xAxis, yAxis;
    const Vec3 forward = Sub3(*at, *eye);
    Vec3Normalize(&zAxis, &forward);
    const Vec3 side = Cross3(*up, zAxis);
    Vec3Normalize(&xAxis, &side);
    yAxis = Cross3(zAxis, xAxis);
    if (Dot3(zAxis, zAxis) == 0.0f || Dot3(xAxis, xAxis) == 0.0f)
        return MatrixTranslation(out, -eye->x, -eye->y, -eye->z);
    MatrixIdentity(out);
    out->m[0][0] = xAxis.x;
    out->m[1][0] = xAxis.y;
    out->m[2][0] = xAxis.z;
    out->m[0][1] = yAxis.x;
    out->m[1][1] = yAxis.y;
    out->m[2][1] = yAxis.z;
    out->m[0][2] = zAxis.x;
    out->m[1][2] = zAxis.y;
    out->m[2][2] = zAxis.z;
    out->m[3][0] = -Dot3(xAxis, *eye);
    out->m[3][1] = -Dot3(yAxis, *eye);
    out->m[3][2] = -Dot3(zAxis, *eye);
    return out;
}

Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    std::memset(out, 0, sizeof(*out));
    out->m[0][0] = xScale;
    out->m[1][1] = yScale;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zNear * zFar / (zFar - zNear);
    return out;
}

Vec3* Vec3Normalize(Vec3* out, const Vec3* v) {
    const float length = std::sqrt(Dot3(*v, *v));
    if (length == 0.0f) {
        *out = {0.0f, 0.0f, 0.0f};
        return out;
    }
    *out = {v->x / length, v->y / length, v->z / length};
    return out;
}

Vec4* Vec4Normalize(Vec4* out, const Vec4* v) {
    const float length = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z + v->w * v->w);
    if (length == 0.0f) {
        *out = {0.0f, 0.0f, 0.0f, 0.0f};
        return out;
    }
    *out = {v->x / length, v->y / length, v->z / length, v->w / length};
    return out;
}

Vec3* Vec3TransformCoord(Vec3* out, const Vec3* v, const Matrix* m) {
    const Vec4 r = TransformRow({v->x, v->y, v->z, 1.0f}, *m);
    if (r.w == 0.0f) {
        *out = {r.x, r.y, r.z};
        return out;
    }
    *out = {r.x / r.w, r.y / r.w, r.z / r.w};
    return out;
}

Vec3* Vec3Project(Vec3* out, const Vec3* v, const Viewport* viewport, const Matrix* projection,
                  const Matrix* view, const Matrix* world) {
    Matrix m;
    MatrixIdentity(&m);
    if (world)
        m = *world;
    if (view)
        MatrixMultiply(&m, &m, view);
    if (projection)
        MatrixMultiply(&m, &m, projection);
    Vec3 ndc;
    Vec3TransformCoord(&ndc, v, &m);
    out->x = static_cast<float>(viewport->X) +
             (1.0f + ndc.x) * static_cast<float>(viewport->Width) * 0.5f;
    out->y = static_cast<float>(viewport->Y) +
             (1.0f - ndc.y) * static_cast<float>(viewport->Height) * 0.5f;
    out->z = viewport->MinZ + ndc.z * (viewport->MaxZ - viewport->MinZ);
    return out;
}
