// The SSE2 routine set: 34 slots (the SSE slots without the quaternion
// inverse, with the x and y rotation matrices). Included by the two files
// that build it: Sse2Routines.cpp with -msse2, and Sse2VexRoutines.cpp with
// AVX2 and FMA, where the same source comes out VEX-encoded and a few
// routines are replaced by 256-bit ones.
#pragma once

#include "mathlib/MathTable.h"
#include "mathlib/Sse2Backend.h"
#include "mathlib/SimdKernels.h"

#include <cmath>

namespace {

using K = SimdKernels<Sse2Backend>;

// The product one row of a at a time: the rows of b stay in registers, a
// row of a is loaded, its four broadcasts multiplied into two pairs of
// partial sums, and the output row stored before the next row of a is read.
// That keeps every value in a register (no spills, so no reloads waiting on
// stores), and stays correct in place: out row i depends only on a row i,
// already loaded when it is overwritten, and on b, loaded up front.
MathMatrix* MatrixMultiply(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
  const K::Rows rb = K::LoadRows(b);
  const float* pa = &a->m[0][0];
  float* po = &out->m[0][0];
  for (int i = 0; i < 4; ++i) {
    const __m128 r = _mm_loadu_ps(pa + 4 * i);
    const __m128 xy = _mm_add_ps(_mm_mul_ps(Sse2Backend::Shuffle<0, 0, 0, 0>(r), rb.r[0]),
                                 _mm_mul_ps(Sse2Backend::Shuffle<1, 1, 1, 1>(r), rb.r[1]));
    const __m128 zw = _mm_add_ps(_mm_mul_ps(Sse2Backend::Shuffle<2, 2, 2, 2>(r), rb.r[2]),
                                 _mm_mul_ps(Sse2Backend::Shuffle<3, 3, 3, 3>(r), rb.r[3]));
    _mm_storeu_ps(po + 4 * i, _mm_add_ps(xy, zw));
  }
  return out;
}

// The inverse by cofactors, arranged to keep the division's wait short.
// The cofactor rows come out as z_i with c_i = (+1, -1, +1, -1) * z_i: the
// rows paired with the negative sign are summed in the opposite order, so no
// sign masks are applied. The alternating sum of r0 * z0 gives
// (det, -det, det, -det); its packed reciprocal holds 1/det and -1/det, the
// scales of the even and odd rows of the transposed cofactors. The
// transposition does not wait for the division; only the four products do.
MathMatrix* MatrixInverse(MathMatrix* out, float* determinant, const MathMatrix* m) {
  using S = Sse2Backend;
  const K::Rows rows = K::LoadRows(m);
  const K::Minors low = K::MinorsOf(rows.r[2], rows.r[3]);
  const K::Minors high = K::MinorsOf(rows.r[0], rows.r[1]);
  const auto positive = [](__m128 a, const K::Minors& n) {
    return _mm_add_ps(_mm_sub_ps(_mm_mul_ps(S::Shuffle<1, 0, 0, 0>(a), n.sa), _mm_mul_ps(S::Shuffle<2, 2, 1, 1>(a), n.sb)),
                      _mm_mul_ps(S::Shuffle<3, 3, 3, 2>(a), n.sc));
  };
  const auto negative = [](__m128 a, const K::Minors& n) {
    return _mm_sub_ps(_mm_sub_ps(_mm_mul_ps(S::Shuffle<2, 2, 1, 1>(a), n.sb), _mm_mul_ps(S::Shuffle<1, 0, 0, 0>(a), n.sa)),
                      _mm_mul_ps(S::Shuffle<3, 3, 3, 2>(a), n.sc));
  };
  __m128 z0 = positive(rows.r[1], low), z1 = negative(rows.r[0], low);
  __m128 z2 = positive(rows.r[3], high), z3 = negative(rows.r[2], high);
  __m128 d = _mm_mul_ps(rows.r[0], z0);
  d = _mm_sub_ps(d, S::Shuffle<1, 0, 3, 2>(d));
  d = _mm_add_ps(d, S::Shuffle<2, 3, 0, 1>(d));
  if (determinant) *determinant = _mm_cvtss_f32(d);
  const __m128 k = _mm_div_ps(_mm_set1_ps(1.0f), d);
  if (!std::isfinite(_mm_cvtss_f32(k))) return nullptr;
  _MM_TRANSPOSE4_PS(z0, z1, z2, z3);
  const __m128 even = S::Shuffle<0, 0, 0, 0>(k), odd = S::Shuffle<1, 1, 1, 1>(k);
  float* p = &out->m[0][0];
  _mm_storeu_ps(p, _mm_mul_ps(z0, even));
  _mm_storeu_ps(p + 4, _mm_mul_ps(z1, odd));
  _mm_storeu_ps(p + 8, _mm_mul_ps(z2, even));
  _mm_storeu_ps(p + 12, _mm_mul_ps(z3, odd));
  return out;
}

// Three components are too few to fill a register: scalar SSE arithmetic
// with the reciprocal square root estimate and one Newton step.
MathVec3* Vec3Normalise(MathVec3* out, const MathVec3* v) {
  const __m128 x = _mm_load_ss(&v->x), y = _mm_load_ss(&v->y), z = _mm_load_ss(&v->z);
  const __m128 len2 = _mm_add_ss(_mm_add_ss(_mm_mul_ss(x, x), _mm_mul_ss(y, y)), _mm_mul_ss(z, z));
  const __m128 r = _mm_rsqrt_ss(len2);
  const __m128 refined = _mm_mul_ss(
      _mm_mul_ss(r, _mm_set_ss(0.5f)), _mm_sub_ss(_mm_set_ss(3.0f), _mm_mul_ss(_mm_mul_ss(len2, r), r)));
  const __m128 k = _mm_and_ps(refined, _mm_cmpgt_ss(len2, _mm_setzero_ps()));  // zero stays zero
  _mm_store_ss(&out->x, _mm_mul_ss(x, k));
  _mm_store_ss(&out->y, _mm_mul_ss(y, k));
  _mm_store_ss(&out->z, _mm_mul_ss(z, k));
  return out;
}

// Points divided by w with one packed division.
MathVec2* Vec2TransformCoord(MathVec2* out, const MathVec2* v, const MathMatrix* m) {
  const __m128 r = K::TimesPoint2(&v->x, K::LoadRows(m));
  Sse2Backend::Store2(&out->x, _mm_div_ps(r, Sse2Backend::Shuffle<3, 3, 3, 3>(r)));
  return out;
}

MathVec3* Vec3TransformCoord(MathVec3* out, const MathVec3* v, const MathMatrix* m) {
  const __m128 r = K::TimesPoint3(&v->x, K::LoadRows(m));
  Sse2Backend::Store3(&out->x, _mm_div_ps(r, Sse2Backend::Shuffle<3, 3, 3, 3>(r)));
  return out;
}

// The 34 routines of the set. Evaluated at compile time, so a build for
// instructions the processor lacks runs nothing until its routines are
// installed and called.
constexpr MathRoutineSet Sse2RoutineSet() {
  MathRoutineSet s{};
  s.Vec2Transform = &K::Vec2Transform;
  s.Vec3Transform = &K::Vec3Transform;
  s.Vec4Transform = &K::Vec4Transform;
  s.MatrixMultiply = &MatrixMultiply;
  s.MatrixMultiplyTranspose = &K::MatrixMultiplyTranspose;
  s.Vec2TransformNormal = &K::Vec2TransformNormal;
  s.Vec3TransformNormal = &K::Vec3TransformNormal;
  s.Vec3Normalise = &Vec3Normalise;
  s.Vec4Normalise = &K::Vec4Normalise;
  s.Vec2TransformCoord = &Vec2TransformCoord;
  s.Vec3TransformCoord = &Vec3TransformCoord;
  s.MatrixDeterminant = &K::MatrixDeterminant;
  s.PlaneFromPoints = &K::PlaneFromPoints;
  s.Vec4Cross = &K::Vec4Cross;
  s.Vec2Hermite = &K::Vec2Hermite;
  s.MatrixInverse = &MatrixInverse;
  s.QuatMultiply = &K::QuatMultiply;
  s.QuatNormalise = &K::QuatNormalise;
  s.PlaneNormalise = &K::PlaneNormalise;
  s.PlaneIntersectLine = &K::PlaneIntersectLine;
  s.QuatFromRotationMatrix = &K::QuatFromRotationMatrix;
  s.QuatFromYawPitchRoll = &K::QuatFromYawPitchRoll;
  s.MatrixShadow = &K::MatrixShadow;
  s.MatrixReflect = &K::MatrixReflect;
  s.MatrixRotationX = &K::MatrixRotationX;
  s.MatrixRotationY = &K::MatrixRotationY;
  s.Vec2CatmullRom = &K::Vec2CatmullRom;
  s.Vec2Barycentric = &K::Vec2Barycentric;
  s.Vec3Hermite = &K::Vec3Hermite;
  s.Vec3CatmullRom = &K::Vec3CatmullRom;
  s.Vec3Barycentric = &K::Vec3Barycentric;
  s.Vec4Hermite = &K::Vec4Hermite;
  s.Vec4CatmullRom = &K::Vec4CatmullRom;
  s.Vec4Barycentric = &K::Vec4Barycentric;
  return s;
}

}  // namespace
