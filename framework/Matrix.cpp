#include "framework/MathRoutines.h"
#include "framework/MathTypes.h"

#include <cmath>
#include <cstring>

namespace {

CVector3 Subtract(const CVector3& a, const CVector3& b)
{
    return CVector3{a.x - b.x, a.y - b.y, a.z - b.z};
}

CVector3 Cross(const CVector3& a, const CVector3& b)
{
    return CVector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const CVector3& a, const CVector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

CVector3 Normalise(const CVector3& v)
{
    const float k = 1.0f / std::sqrt(Dot(v, v));
    return CVector3{v.x * k, v.y * k, v.z * k};
}

} // namespace

void CMatrix::SetIdentity()
{
    std::memset(m, 0, sizeof m);
    m[0][0] = m[1][1] = m[2][2] = m[3][3] = 1.0f;
}

void CMatrix::TransformPoint2(float& x, float& y) const
{
    const float inX = x;
    const float inY = y;
    x = inX * m[0][0] + inY * m[1][0] + m[3][0];
    y = inX * m[0][1] + inY * m[1][1] + m[3][1];
}

void CMatrix::SetPerspective(float fovY, float xScale, float zNear, float zFar, bool infiniteFar)
{
    std::memset(m, 0, sizeof m);
    m[2][3] = 1.0f;
    const float f = 1.0f / std::tan(fovY * 0.5f);
    m[0][0] = xScale * f;
    m[1][1] = f;
    if (infiniteFar)
    {
        m[2][2] = 1.0f;
        m[3][2] = -zNear;
    }
    else
    {
        m[2][2] = zFar / (zFar - zNear);
        m[3][2] = -zNear * zFar / (zFar - zNear);
    }
}

CMatrix CMatrix::GetInverse() const
{
    CMatrix result;
    if (framework_math::InvertMatrix(*this, result))
    {
        bool finite = true;
        for (int i = 0; i < 16; ++i)
            finite = finite && std::isfinite(result.m[i / 4][i % 4]);
        if (finite)
            return result;
    }
    result.SetIdentity();
    return result;
}

CMatrix CMatrix::GetTranspose() const
{
    CMatrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = m[c][r];
    return result;
}

CMatrix& CMatrix::MultiplyBy(const CMatrix& other)
{
    CMatrix product;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            product.m[r][c] = m[r][0] * other.m[0][c] + m[r][1] * other.m[1][c] +
                              m[r][2] * other.m[2][c] + m[r][3] * other.m[3][c];
    *this = product;
    return *this;
}

void CMatrix::SetRotation(const CQuaternion& q)
{
    framework_math::QuaternionToMatrix(q, *this);
}

void CMatrix::SetRotationX(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    SetIdentity();
    m[1][1] = c;
    m[1][2] = s;
    m[2][1] = -s;
    m[2][2] = c;
}

void CMatrix::SetRotationY(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    SetIdentity();
    m[0][0] = c;
    m[0][2] = -s;
    m[2][0] = s;
    m[2][2] = c;
}

void CMatrix::SetRotationZ(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    SetIdentity();
    m[0][0] = c;
    m[0][1] = s;
    m[1][0] = -s;
    m[1][1] = c;
}

void CMatrix::SetLookAt(const CVector3& eye, const CVector3& at, const CVector3& up)
{
    const CVector3 zAxis = Normalise(Subtract(at, eye));
    const CVector3 xAxis = Normalise(Cross(up, zAxis));
    const CVector3 yAxis = Cross(zAxis, xAxis);

    m[0][0] = xAxis.x; m[0][1] = yAxis.x; m[0][2] = zAxis.x; m[0][3] = 0.0f;
    m[1][0] = xAxis.y; m[1][1] = yAxis.y; m[1][2] = zAxis.y; m[1][3] = 0.0f;
    m[2][0] = xAxis.z; m[2][1] = yAxis.z; m[2][2] = zAxis.z; m[2][3] = 0.0f;
    m[3][0] = -Dot(xAxis, eye);
    m[3][1] = -Dot(yAxis, eye);
    m[3][2] = -Dot(zAxis, eye);
    m[3][3] = 1.0f;
}

CQuaternion Multiply(const CQuaternion& a, const CQuaternion& b)
{
    return framework_math::QuaternionProduct(b, a);
}
