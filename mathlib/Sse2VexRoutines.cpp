// The SSE2 set built with AVX2 and FMA: the shared source comes out with
// three-operand VEX forms and broadcasts from memory, rounded as the SSE2
// form rounds (no implicit contraction); the matrix product and inverse work
// on two rows per 256-bit register, and the product and the vector
// transforms use fused multiply-adds. The inverse rounds exactly as the SSE2
// form's does.
// Installed in place of the SSE2 instructions when the processor has AVX2
// and FMA and the system saves the wide registers; same slots, same state.
// Code here must never run elsewhere: everything has internal linkage, and
// the set leaves as data (the installer lives in Sse2Routines.cpp).
#include <immintrin.h>

#include "mathlib/Sse2RoutineSet.h"

namespace {

// Rows i and i + 1 of a matrix in one register.
__m256 LoadRowPair(const MathMatrix* m, int i) { return _mm256_loadu_ps(&m->m[i][0]); }
void StoreRowPair(MathMatrix* m, int i, __m256 v) { _mm256_storeu_ps(&m->m[i][0], v); }
// Rows i and j side by side.
__m256 LoadRows(const MathMatrix* m, int i, int j) {
  return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(&m->m[i][0])), _mm_loadu_ps(&m->m[j][0]), 1);
}

template <int a, int b, int c, int d>
__m256 InLanes(__m256 v) {
  return _mm256_permute_ps(v, _MM_SHUFFLE(d, c, b, a));
}
// The two 128-bit halves exchanged.
__m256 SwapHalves(__m256 v) { return _mm256_permute2f128_ps(v, v, 0x01); }

// Two output rows per step: each half splats its own row of a, while b's
// rows are the same in both halves. b is read before anything is stored and
// a pair of a's rows before its output pair, so out may be a or b.
MathMatrix* WideMatrixMultiply(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
  const __m256 b0 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(&b->m[0][0]));
  const __m256 b1 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(&b->m[1][0]));
  const __m256 b2 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(&b->m[2][0]));
  const __m256 b3 = _mm256_broadcast_ps(reinterpret_cast<const __m128*>(&b->m[3][0]));
  for (int i = 0; i < 4; i += 2) {
    const __m256 r = LoadRowPair(a, i);
    __m256 sum = _mm256_mul_ps(InLanes<0, 0, 0, 0>(r), b0);
    sum = _mm256_fmadd_ps(InLanes<1, 1, 1, 1>(r), b1, sum);
    sum = _mm256_fmadd_ps(InLanes<2, 2, 2, 2>(r), b2, sum);
    sum = _mm256_fmadd_ps(InLanes<3, 3, 3, 3>(r), b3, sum);
    StoreRowPair(out, i, sum);
  }
  return out;
}

// The inverse by cofactors, as the SSE2 form computes it, with rows 0 and 2
// in one register and rows 1 and 3 in another: one pass of the 2x2 minors
// gives those of rows (0, 1) and (2, 3) together, and one pass of the 4-D
// cross products gives two cofactor rows. The cofactor rows come out as z_i
// with c_i = (+1, -1, +1, -1) * z_i; the alternating sum of r0 * z0 is
// (det, -det, det, -det), whose reciprocal scales the even and odd rows of
// the transposed cofactors.
MathMatrix* WideMatrixInverse(MathMatrix* out, float* determinant, const MathMatrix* m) {
  const __m256 x = LoadRows(m, 0, 2), y = LoadRows(m, 1, 3);
  const __m256 x1 = InLanes<1, 0, 0, 0>(x), x2 = InLanes<2, 2, 1, 1>(x), x3 = InLanes<3, 3, 3, 2>(x);
  const __m256 y1 = InLanes<1, 0, 0, 0>(y), y2 = InLanes<2, 2, 1, 1>(y), y3 = InLanes<3, 3, 3, 2>(y);
  // Minors of rows (0, 1) in the low half, of rows (2, 3) in the high half,
  // then exchanged: rows 1 and 3 pair with the minors of the other pair.
  // Two rounded products, not a fused multiply-subtract: the minors of two
  // equal rows must come out exactly zero.
  const __m256 sa = SwapHalves(_mm256_sub_ps(_mm256_mul_ps(x2, y3), _mm256_mul_ps(x3, y2)));
  const __m256 sb = SwapHalves(_mm256_sub_ps(_mm256_mul_ps(x1, y3), _mm256_mul_ps(x3, y1)));
  const __m256 sc = SwapHalves(_mm256_sub_ps(_mm256_mul_ps(x1, y2), _mm256_mul_ps(x2, y1)));
  // (z0 | z2) from rows 1 and 3, (z1 | z3) from rows 0 and 2, rounded step
  // by step in the SSE2 form's order, so both forms give the same inverse
  // and find the same matrices singular.
  const __m256 even = _mm256_add_ps(_mm256_sub_ps(_mm256_mul_ps(y1, sa), _mm256_mul_ps(y2, sb)), _mm256_mul_ps(y3, sc));
  const __m256 odd = _mm256_sub_ps(_mm256_sub_ps(_mm256_mul_ps(x2, sb), _mm256_mul_ps(x1, sa)), _mm256_mul_ps(x3, sc));

  __m128 d = _mm_mul_ps(_mm256_castps256_ps128(x), _mm256_castps256_ps128(even));
  d = _mm_sub_ps(d, _mm_permute_ps(d, _MM_SHUFFLE(2, 3, 0, 1)));
  d = _mm_add_ps(d, _mm_permute_ps(d, _MM_SHUFFLE(1, 0, 3, 2)));
  if (determinant) *determinant = _mm_cvtss_f32(d);
  const __m128 k = _mm_div_ps(_mm_set1_ps(1.0f), d);
  if (!std::isfinite(_mm_cvtss_f32(k))) return nullptr;

  // Transpose: (z0 | z2) and (z1 | z3) interleaved give the 64-bit pairs
  // that make up the output rows; one lane-crossing permute orders them.
  const __m256 low = _mm256_unpacklo_ps(even, odd), high = _mm256_unpackhi_ps(even, odd);
  const __m256 rows01 = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(low), _MM_SHUFFLE(3, 1, 2, 0)));
  const __m256 rows23 = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(high), _MM_SHUFFLE(3, 1, 2, 0)));
  // (1/det in the low half, -1/det in the high half).
  const __m256 scale = _mm256_permutevar8x32_ps(_mm256_castps128_ps256(k), _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1));
  StoreRowPair(out, 0, _mm256_mul_ps(rows01, scale));
  StoreRowPair(out, 2, _mm256_mul_ps(rows23, scale));
  return out;
}

// Vector times matrix as a chain of fused multiply-adds on rows read
// straight from memory, each component broadcast from memory.
__m128 Row(const MathMatrix* m, int i) { return _mm_loadu_ps(&m->m[i][0]); }

MathVec4* FusedVec2Transform(MathVec4* out, const MathVec2* v, const MathMatrix* m) {
  const __m128 r = _mm_fmadd_ps(_mm_broadcast_ss(&v->x), Row(m, 0), Row(m, 3));
  _mm_storeu_ps(&out->x, _mm_fmadd_ps(_mm_broadcast_ss(&v->y), Row(m, 1), r));
  return out;
}
__m128 FusedPoint3(const MathVec3* v, const MathMatrix* m) {
  __m128 r = _mm_fmadd_ps(_mm_broadcast_ss(&v->x), Row(m, 0), Row(m, 3));
  r = _mm_fmadd_ps(_mm_broadcast_ss(&v->y), Row(m, 1), r);
  return _mm_fmadd_ps(_mm_broadcast_ss(&v->z), Row(m, 2), r);
}
MathVec4* FusedVec3Transform(MathVec4* out, const MathVec3* v, const MathMatrix* m) {
  _mm_storeu_ps(&out->x, FusedPoint3(v, m));
  return out;
}
MathVec4* FusedVec4Transform(MathVec4* out, const MathVec4* v, const MathMatrix* m) {
  __m128 r = _mm_mul_ps(_mm_broadcast_ss(&v->x), Row(m, 0));
  r = _mm_fmadd_ps(_mm_broadcast_ss(&v->y), Row(m, 1), r);
  r = _mm_fmadd_ps(_mm_broadcast_ss(&v->z), Row(m, 2), r);
  _mm_storeu_ps(&out->x, _mm_fmadd_ps(_mm_broadcast_ss(&v->w), Row(m, 3), r));
  return out;
}
// Points divided by w with one packed division.
MathVec2* FusedVec2TransformCoord(MathVec2* out, const MathVec2* v, const MathMatrix* m) {
  __m128 r = _mm_fmadd_ps(_mm_broadcast_ss(&v->x), Row(m, 0), Row(m, 3));
  r = _mm_fmadd_ps(_mm_broadcast_ss(&v->y), Row(m, 1), r);
  _mm_storel_pi(reinterpret_cast<__m64*>(&out->x), _mm_div_ps(r, _mm_permute_ps(r, _MM_SHUFFLE(3, 3, 3, 3))));
  return out;
}
MathVec3* FusedVec3TransformCoord(MathVec3* out, const MathVec3* v, const MathMatrix* m) {
  const __m128 r = FusedPoint3(v, m);
  const __m128 q = _mm_div_ps(r, _mm_permute_ps(r, _MM_SHUFFLE(3, 3, 3, 3)));
  _mm_storel_pi(reinterpret_cast<__m64*>(&out->x), q);
  _mm_store_ss(&out->z, _mm_movehl_ps(q, q));
  return out;
}

constexpr MathRoutineSet VexRoutineSet() {
  MathRoutineSet s = Sse2RoutineSet();
  s.Vec2Transform = &FusedVec2Transform;
  s.Vec3Transform = &FusedVec3Transform;
  s.Vec4Transform = &FusedVec4Transform;
  s.Vec2TransformCoord = &FusedVec2TransformCoord;
  s.Vec3TransformCoord = &FusedVec3TransformCoord;
  s.MatrixMultiply = &WideMatrixMultiply;
  s.MatrixInverse = &WideMatrixInverse;
  return s;
}

}  // namespace

// Data only: this file holds no code that runs before a routine is called.
constexpr MathRoutineSet kSse2VexRoutineSet = VexRoutineSet();
