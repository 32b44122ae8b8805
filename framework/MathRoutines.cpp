// The re-routable math computations (see MathRoutines.h), served by the
// vector math library: each goes through the library's public entry, so the
// routine set chosen for this processor does the work. The framework types
// and the library's have the same layout; values are copied across, never
// reinterpreted.
#include "framework/MathRoutines.h"

#include <cstring>
#include <type_traits>

#include "mathlib/VectorMath.h"

namespace framework_math {
namespace {

static_assert(sizeof(CMatrix) == sizeof(MathMatrix) && std::is_standard_layout_v<CMatrix>,
              "CMatrix must hold exactly the 16 floats of MathMatrix");
static_assert(sizeof(CQuaternion) == sizeof(MathQuat) && std::is_standard_layout_v<CQuaternion>,
              "CQuaternion must hold exactly the 4 floats of MathQuat");

template <class To, class From>
To Copy(const From& from) {
  static_assert(sizeof(To) == sizeof(From), "same size");
  To to;
  std::memcpy(&to, &from, sizeof to);
  return to;
}

}  // namespace

bool InvertMatrix(const CMatrix& in, CMatrix& out) {
  const MathMatrix m = Copy<MathMatrix>(in);
  MathMatrix inverse;
  if (!MathMatrixInverse(&inverse, nullptr, &m)) return false;
  out = Copy<CMatrix>(inverse);
  return true;
}

void QuaternionToMatrix(const CQuaternion& q, CMatrix& out) {
  const MathQuat quat = Copy<MathQuat>(q);
  MathMatrix m;
  MathMatrixRotationQuat(&m, &quat);
  out = Copy<CMatrix>(m);
}

// The library's product of a and b is the rotation a then b, b (x) a; so
// p (x) q is its product of q and p.
CQuaternion QuaternionProduct(const CQuaternion& p, const CQuaternion& q) {
  const MathQuat a = Copy<MathQuat>(q), b = Copy<MathQuat>(p);
  MathQuat r;
  MathQuatMultiply(&r, &a, &b);
  return Copy<CQuaternion>(r);
}

}  // namespace framework_math
