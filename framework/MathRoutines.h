#pragma once
// The three computations of the 3D math types that a vector math library may
// serve instead: the general 4x4 inverse, the rotation matrix of a quaternion
// and the quaternion product. CMatrix and Multiply reach them only through
// these functions, so they are the one place to route elsewhere.

#include "framework/MathTypes.h"

namespace framework_math {

// Writes the inverse of in into out and returns true; returns false (out
// untouched) when the reciprocal of the determinant is not a finite float.
// in and out may be the same matrix.
bool InvertMatrix(const CMatrix& in, CMatrix& out);

// The rotation matrix of q (not normalised first).
void QuaternionToMatrix(const CQuaternion& q, CMatrix& out);

// The Hamilton product p (x) q.
CQuaternion QuaternionProduct(const CQuaternion& p, const CQuaternion& q);

} // namespace framework_math
