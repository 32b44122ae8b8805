// Direct computation of the re-routable math routines (see MathRoutines.h).
#include "framework/MathRoutines.h"

#include <cmath>

namespace framework_math {

bool InvertMatrix(const CMatrix& in, CMatrix& out)
{
    // Cofactors through the 2x2 minors of the upper and lower row pairs,
    // computed in double precision.
    double a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = in.m[i / 4][i % 4];

    const double s0 = a[0] * a[5] - a[4] * a[1];
    const double s1 = a[0] * a[6] - a[4] * a[2];
    const double s2 = a[0] * a[7] - a[4] * a[3];
    const double s3 = a[1] * a[6] - a[5] * a[2];
    const double s4 = a[1] * a[7] - a[5] * a[3];
    const double s5 = a[2] * a[7] - a[6] * a[3];

    const double c5 = a[10] * a[15] - a[14] * a[11];
    const double c4 = a[9] * a[15] - a[13] * a[11];
    const double c3 = a[9] * a[14] - a[13] * a[10];
    const double c2 = a[8] * a[15] - a[12] * a[11];
    const double c1 = a[8] * a[14] - a[12] * a[10];
    const double c0 = a[8] * a[13] - a[12] * a[9];

    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    const float reciprocalF = 1.0f / static_cast<float>(det);
    if (!std::isfinite(reciprocalF))
        return false;
    const double r = 1.0 / det;

    double b[16];
    b[0] = (a[5] * c5 - a[6] * c4 + a[7] * c3) * r;
    b[1] = (-a[1] * c5 + a[2] * c4 - a[3] * c3) * r;
    b[2] = (a[13] * s5 - a[14] * s4 + a[15] * s3) * r;
    b[3] = (-a[9] * s5 + a[10] * s4 - a[11] * s3) * r;

    b[4] = (-a[4] * c5 + a[6] * c2 - a[7] * c1) * r;
    b[5] = (a[0] * c5 - a[2] * c2 + a[3] * c1) * r;
    b[6] = (-a[12] * s5 + a[14] * s2 - a[15] * s1) * r;
    b[7] = (a[8] * s5 - a[10] * s2 + a[11] * s1) * r;

    b[8] = (a[4] * c4 - a[5] * c2 + a[7] * c0) * r;
    b[9] = (-a[0] * c4 + a[1] * c2 - a[3] * c0) * r;
    b[10] = (a[12] * s4 - a[13] * s2 + a[15] * s0) * r;
    b[11] = (-a[8] * s4 + a[9] * s2 - a[11] * s0) * r;

    b[12] = (-a[4] * c3 + a[5] * c1 - a[6] * c0) * r;
    b[13] = (a[0] * c3 - a[1] * c1 + a[2] * c0) * r;
    b[14] = (-a[12] * s3 + a[13] * s1 - a[14] * s0) * r;
    b[15] = (a[8] * s3 - a[9] * s1 + a[10] * s0) * r;

    for (int i = 0; i < 16; ++i)
        out.m[i / 4][i % 4] = static_cast<float>(b[i]);
    return true;
}

void QuaternionToMatrix(const CQuaternion& q, CMatrix& out)
{
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    out.m[0][0] = 1.0f - 2.0f * (y * y + z * z);
    out.m[0][1] = 2.0f * (x * y + z * w);
    out.m[0][2] = 2.0f * (x * z - y * w);
    out.m[0][3] = 0.0f;
    out.m[1][0] = 2.0f * (x * y - z * w);
    out.m[1][1] = 1.0f - 2.0f * (x * x + z * z);
    out.m[1][2] = 2.0f * (y * z + x * w);
    out.m[1][3] = 0.0f;
    out.m[2][0] = 2.0f * (x * z + y * w);
    out.m[2][1] = 2.0f * (y * z - x * w);
    out.m[2][2] = 1.0f - 2.0f * (x * x + y * y);
    out.m[2][3] = 0.0f;
    out.m[3][0] = 0.0f;
    out.m[3][1] = 0.0f;
    out.m[3][2] = 0.0f;
    out.m[3][3] = 1.0f;
}

CQuaternion QuaternionProduct(const CQuaternion& p, const CQuaternion& q)
{
    CQuaternion r;
    r.x = p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y;
    r.y = p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x;
    r.z = p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w;
    r.w = p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z;
    return r;
}

} // namespace framework_math
