#include "framework/MathTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kPi = 3.14159265358979f;
const float kTol = 1e-5f;

CMatrix Identity()
{
    CMatrix m;
    m.SetIdentity();
    return m;
}

CMatrix FromRows(const float (&v)[16])
{
    CMatrix m;
    for (int i = 0; i < 16; ++i)
        m.m[i / 4][i % 4] = v[i];
    return m;
}

void ExpectNear(const CMatrix& a, const CMatrix& b, float tol = kTol)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], tol) << "element [" << r << "][" << c << "]";
}

// Row vector times matrix.
CVector4 Transform(const CVector4& v, const CMatrix& m)
{
    CVector4 r;
    r.x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0];
    r.y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1];
    r.z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2];
    r.w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3];
    return r;
}

void ExpectNear(const CVector4& a, const CVector4& b, float tol = kTol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
    EXPECT_NEAR(a.w, b.w, tol);
}

CQuaternion AxisAngle(float ax, float ay, float az, float angle)
{
    const float s = std::sin(angle * 0.5f);
    return CQuaternion{ax * s, ay * s, az * s, std::cos(angle * 0.5f)};
}

CQuaternion Normalised(CQuaternion q)
{
    const float k = 1.0f / std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return CQuaternion{q.x * k, q.y * k, q.z * k, q.w * k};
}

// A general invertible matrix: rotation, non-uniform scale, translation, a
// perspective column.
CMatrix General()
{
    const float v[16] = {2, 1, 0, 0.5f, -1, 3, 1, 0, 0.5f, 0, 4, 0.25f, 7, -3, 2, 1};
    return FromRows(v);
}

} // namespace

TEST(Matrix, AxisRotationsMoveUnitVectors)
{
    CMatrix m;
    m.SetRotationZ(kPi / 2);
    ExpectNear(Transform(CVector4{1, 0, 0, 1}, m), CVector4{0, 1, 0, 1});
    m.SetRotationX(kPi / 2);
    ExpectNear(Transform(CVector4{0, 1, 0, 1}, m), CVector4{0, 0, 1, 1});
    m.SetRotationY(kPi / 2);
    ExpectNear(Transform(CVector4{0, 0, 1, 1}, m), CVector4{1, 0, 0, 1});
}

TEST(Matrix, AxisRotationsAgreeWithQuaternionRotation)
{
    const float angles[] = {0.3f, -1.2f, kPi / 2, 2.9f};
    for (float a : angles)
    {
        CMatrix fromAxis, fromQuat;
        fromAxis.SetRotationX(a);
        fromQuat.SetRotation(AxisAngle(1, 0, 0, a));
        ExpectNear(fromAxis, fromQuat);
        fromAxis.SetRotationY(a);
        fromQuat.SetRotation(AxisAngle(0, 1, 0, a));
        ExpectNear(fromAxis, fromQuat);
        fromAxis.SetRotationZ(a);
        fromQuat.SetRotation(AxisAngle(0, 0, 1, a));
        ExpectNear(fromAxis, fromQuat);
    }
}

TEST(Matrix, SetRotationUsesQuaternionAsGiven)
{
    // Not normalised: the formula is applied to the raw components.
    CMatrix m;
    m.SetRotation(CQuaternion{0, 0, 0, 2});
    ExpectNear(m, Identity());
    m.SetRotation(CQuaternion{1, 0, 0, 1});
    EXPECT_NEAR(m.m[1][1], -1.0f, kTol);
    EXPECT_NEAR(m.m[1][2], 2.0f, kTol);
}

TEST(Matrix, LookAtFromBehindTheOrigin)
{
    CMatrix m;
    m.SetLookAt(CVector3{0, 0, -5}, CVector3{0, 0, 0}, CVector3{0, 1, 0});
    CMatrix expected = Identity();
    expected.m[3][2] = 5;
    ExpectNear(m, expected);
}

TEST(Matrix, LookAtMapsEyeToOriginAndTargetOntoPositiveZ)
{
    const CVector3 eye{3, 4, -2}, at{-1, 2, 6}, up{0, 1, 0};
    CMatrix m;
    m.SetLookAt(eye, at, up);
    ExpectNear(Transform(CVector4{eye.x, eye.y, eye.z, 1}, m), CVector4{0, 0, 0, 1}, 1e-4f);
    const CVector4 t = Transform(CVector4{at.x, at.y, at.z, 1}, m);
    const float distance = std::sqrt(16.0f + 4.0f + 64.0f);
    ExpectNear(t, CVector4{0, 0, distance, 1}, 1e-4f);
    // The rotation part is orthonormal: its inverse is its transpose.
    CMatrix rotation = m;
    rotation.m[3][0] = rotation.m[3][1] = rotation.m[3][2] = 0;
    ExpectNear(rotation.GetInverse(), rotation.GetTranspose());
}

TEST(Matrix, LookAtWithoutDirectionGivesNonFiniteValues)
{
    CMatrix m;
    m.SetLookAt(CVector3{1, 1, 1}, CVector3{1, 1, 1}, CVector3{0, 1, 0});
    EXPECT_FALSE(std::isfinite(m.m[0][2]));
}

TEST(Matrix, PerspectiveElements)
{
    CMatrix m;
    m.SetPerspective(kPi / 2, 0.75f, 1.0f, 101.0f, false);
    const float expected[16] = {0.75f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.01f, 1, 0, 0, -1.01f, 0};
    ExpectNear(m, FromRows(expected));

    m.SetPerspective(kPi / 2, 0.75f, 1.0f, 101.0f, true);
    const float infinite[16] = {0.75f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, -1, 0};
    ExpectNear(m, FromRows(infinite));
}

TEST(Matrix, PerspectiveDepthRunsFromZeroToOne)
{
    CMatrix m;
    m.SetPerspective(1.0f, 1.0f, 2.0f, 50.0f, false);
    const CVector4 nearPoint = Transform(CVector4{0, 0, 2, 1}, m);
    const CVector4 farPoint = Transform(CVector4{0, 0, 50, 1}, m);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, kTol);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, kTol);
    EXPECT_NEAR(farPoint.w, 50.0f, kTol);
}

TEST(Matrix, TransformPoint2UsesIncomingX)
{
    CMatrix m = Identity();
    m.m[3][0] = 10;
    m.m[3][1] = 20;
    float x = 1, y = 2;
    m.TransformPoint2(x, y);
    EXPECT_FLOAT_EQ(x, 11);
    EXPECT_FLOAT_EQ(y, 22);

    m.SetRotationZ(kPi / 2);
    x = 1;
    y = 0;
    m.TransformPoint2(x, y);
    EXPECT_NEAR(x, 0, kTol);
    EXPECT_NEAR(y, 1, kTol); // computed from the incoming x, not the new one
}

TEST(Matrix, TransposeSwapsRowsAndColumns)
{
    const CMatrix g = General();
    const CMatrix t = g.GetTranspose();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(t.m[r][c], g.m[c][r]);
}

TEST(Matrix, InverseAgainstHandComputedValues)
{
    // diag(2, 4, 0.5, 1) with translation (6, -8, 1).
    const float v[16] = {2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0.5f, 0, 6, -8, 1, 1};
    const float inv[16] = {0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 2, 0, -3, 2, -2, 1};
    ExpectNear(FromRows(v).GetInverse(), FromRows(inv));
}

TEST(Matrix, InverseTimesMatrixIsIdentity)
{
    const CMatrix g = General();
    CMatrix p = g;
    p.MultiplyBy(g.GetInverse());
    ExpectNear(p, Identity(), 1e-5f);
    CMatrix q = g.GetInverse();
    q.MultiplyBy(g);
    ExpectNear(q, Identity(), 1e-5f);
}

TEST(Matrix, InverseOfRotationIsItsTranspose)
{
    CMatrix r;
    r.SetRotation(Normalised(CQuaternion{0.3f, -0.5f, 0.8f, 0.4f}));
    ExpectNear(r.GetInverse(), r.GetTranspose());
}

TEST(Matrix, InverseOfSingularMatrixIsIdentity)
{
    CMatrix zero;
    for (int i = 0; i < 16; ++i)
        zero.m[i / 4][i % 4] = 0;
    ExpectNear(zero.GetInverse(), Identity(), 0);

    // Two equal rows.
    const float v[16] = {1, 2, 3, 4, 1, 2, 3, 4, 0, 1, 0, 1, 5, 6, 7, 1};
    ExpectNear(FromRows(v).GetInverse(), Identity(), 0);

    CMatrix withNan = Identity();
    withNan.m[1][2] = std::nanf("");
    ExpectNear(withNan.GetInverse(), Identity(), 0);

    CMatrix withInf = Identity();
    withInf.m[3][0] = INFINITY;
    ExpectNear(withInf.GetInverse(), Identity(), 0);
}

TEST(Matrix, MultiplyByAppliesThisFirst)
{
    CMatrix rotate, translate = Identity();
    rotate.SetRotationZ(kPi / 2);
    translate.m[3][0] = 5;
    CMatrix m = rotate;
    m.MultiplyBy(translate);
    // (1,0,0) rotated to (0,1,0), then moved to (5,1,0).
    ExpectNear(Transform(CVector4{1, 0, 0, 1}, m), CVector4{5, 1, 0, 1});
}

TEST(Matrix, MultiplyByItselfSquares)
{
    CMatrix r;
    r.SetRotationX(0.4f);
    r.MultiplyBy(r);
    CMatrix expected;
    expected.SetRotationX(0.8f);
    ExpectNear(r, expected);

    const CMatrix g = General();
    CMatrix squared = g;
    squared.MultiplyBy(squared);
    CMatrix reference = g;
    const CMatrix copy = g;
    reference.MultiplyBy(copy);
    ExpectNear(squared, reference, 0);
}

TEST(Quaternion, ProductIsFirstThenSecond)
{
    const CQuaternion a = AxisAngle(0, 0, 1, kPi / 2);
    const CQuaternion b = AxisAngle(1, 0, 0, kPi / 2);
    const CQuaternion ab = Multiply(a, b);
    const CQuaternion ba = Multiply(b, a);
    EXPECT_GT(std::fabs(ab.x - ba.x) + std::fabs(ab.y - ba.y) + std::fabs(ab.z - ba.z) +
                  std::fabs(ab.w - ba.w),
              0.1f);

    // (1,0,0): z-rotation first gives (0,1,0), then x-rotation gives (0,0,1).
    CMatrix m;
    m.SetRotation(ab);
    ExpectNear(Transform(CVector4{1, 0, 0, 1}, m), CVector4{0, 0, 1, 1});
}

TEST(Quaternion, ProductMatchesMatrixProduct)
{
    const CQuaternion pairs[][2] = {
        {AxisAngle(0, 0, 1, kPi / 2), AxisAngle(1, 0, 0, kPi / 2)},
        {Normalised(CQuaternion{0.1f, 0.7f, -0.2f, 0.5f}), Normalised(CQuaternion{-0.6f, 0.2f, 0.3f, 0.9f})},
        {AxisAngle(0, 1, 0, 2.5f), AxisAngle(0, 1, 0, -0.7f)},
    };
    for (const auto& pair : pairs)
    {
        CMatrix fromProduct, ma, mb;
        fromProduct.SetRotation(Multiply(pair[0], pair[1]));
        ma.SetRotation(pair[0]);
        mb.SetRotation(pair[1]);
        ma.MultiplyBy(mb);
        ExpectNear(fromProduct, ma);
    }
}

TEST(Quaternion, HandComputedProduct)
{
    // b (x) a with a = (1,2,3,4), b = (5,6,7,8).
    const CQuaternion r = Multiply(CQuaternion{1, 2, 3, 4}, CQuaternion{5, 6, 7, 8});
    EXPECT_FLOAT_EQ(r.x, 8 * 1 + 5 * 4 + 6 * 3 - 7 * 2);
    EXPECT_FLOAT_EQ(r.y, 8 * 2 - 5 * 3 + 6 * 4 + 7 * 1);
    EXPECT_FLOAT_EQ(r.z, 8 * 3 + 5 * 2 - 6 * 1 + 7 * 4);
    EXPECT_FLOAT_EQ(r.w, 8 * 4 - 5 * 1 - 6 * 2 - 7 * 3);
}
