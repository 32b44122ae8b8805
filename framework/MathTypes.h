#pragma once
// The framework's small 3D math types: plain values of 32-bit floats with no
// virtual operations, copied by value. Angles are in radians.
//
// Matrix convention: row vectors to the left of the matrix, v' = v * M. A point
// (x, y, z) is the row (x, y, z, 1), so the translation sits in row 3
// (m[3][0], m[3][1], m[3][2]). A product A * B applies A first, then B. The
// coordinate system is left-handed: the view looks along +z.

struct CVector3
{
    float x, y, z;
};

struct CVector4
{
    float x, y, z, w;
};

// A rotation quaternion; w is the scalar part.
struct CQuaternion
{
    float x, y, z, w;
};

struct CMatrix
{
    // Element m[r][c]: row r, column c, stored row after row (index 4r + c).
    float m[4][4];

    // Sets the identity matrix.
    void SetIdentity();

    // Transforms the 2D point (x, y) as the row (x, y, 0, 1) without the
    // division by w (the matrix is taken as affine):
    // x' = x*m00 + y*m10 + m30, y' = x*m01 + y*m11 + m31.
    void TransformPoint2(float& x, float& y) const;

    // Left-handed perspective projection. f = 1 / tan(fovY / 2); m00 =
    // xScale * f, m11 = f, m23 = 1, m33 = 0 (w becomes the point's z).
    // Finite far plane: m22 = zFar / (zFar - zNear), m32 = -zNear * m22, so
    // depth after division is 0 at zNear and 1 at zFar. infiniteFar: m22 = 1,
    // m32 = -zNear. xScale is the viewport's height / width for an undistorted
    // picture. The matrix is overwritten.
    void SetPerspective(float fovY, float xScale, float zNear, float zFar, bool infiniteFar);

    // The inverse of the whole 4x4 matrix. A matrix without an inverse (the
    // reciprocal of its determinant, or an element of the result, is not a
    // finite float) yields the identity matrix, so a caller always gets a
    // usable transform; test the determinant beforehand when the difference
    // matters.
    CMatrix GetInverse() const;

    // result[r][c] = m[c][r].
    CMatrix GetTranspose() const;

    // this = this * other (this applied first); other may be this matrix
    // itself. Returns this matrix.
    CMatrix& MultiplyBy(const CMatrix& other);

    // The rotation matrix of q; q is used as given, not normalised.
    void SetRotation(const CQuaternion& q);

    // Rotations about one axis by angle (radians), the rest of the matrix
    // set to the identity. They agree with SetRotation of the quaternion
    // (sin(a/2) on that axis, cos(a/2)).
    void SetRotationX(float angle);
    void SetRotationY(float angle);
    void SetRotationZ(float angle);

    // View matrix of an eye at `eye` looking at `at`, `up` giving the vertical:
    // the eye maps to the origin and the target onto the +z axis. No length is
    // tested: at == eye, or up parallel to the view direction, leaves
    // non-finite values in the matrix.
    void SetLookAt(const CVector3& eye, const CVector3& at, const CVector3& up);
};

// The rotation a followed by the rotation b: the Hamilton product b (x) a.
// For unit quaternions SetRotation(Multiply(a, b)) equals
// SetRotation(a) * SetRotation(b).
CQuaternion Multiply(const CQuaternion& a, const CQuaternion& b);
