// Four-float vector operations on the SSE unit, SSE1 instructions only, for
// the generic routines of SimdKernels.h. Included by one routine-set file
// each; everything here has internal linkage so that code compiled with one
// file's instruction-set flags never serves another file.
#pragma once

#include <xmmintrin.h>

#include <cmath>

namespace {

struct SseBackend {
  using V = __m128;
  struct Scope {};  // nothing to leave behind on return

  static V Load(const float* p) { return _mm_loadu_ps(p); }
  static void Store(float* p, V v) { _mm_storeu_ps(p, v); }
  static V Load3(const float* p, float w) {
    const V xy = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p));
    return _mm_movelh_ps(xy, _mm_unpacklo_ps(_mm_load_ss(p + 2), _mm_set_ss(w)));
  }
  static void Store3(float* p, V v) {
    _mm_storel_pi(reinterpret_cast<__m64*>(p), v);
    _mm_store_ss(p + 2, _mm_movehl_ps(v, v));
  }
  static V Load2(const float* p, float z, float w) {
    return _mm_loadl_pi(_mm_setr_ps(0.0f, 0.0f, z, w), reinterpret_cast<const __m64*>(p));
  }
  static void Store2(float* p, V v) { _mm_storel_pi(reinterpret_cast<__m64*>(p), v); }

  static V Set(float x, float y, float z, float w) { return _mm_setr_ps(x, y, z, w); }
  static V Splat(float s) { return _mm_set1_ps(s); }
  static V Zero() { return _mm_setzero_ps(); }
  static V Add(V a, V b) { return _mm_add_ps(a, b); }
  static V Sub(V a, V b) { return _mm_sub_ps(a, b); }
  static V Mul(V a, V b) { return _mm_mul_ps(a, b); }
  static float First(V v) { return _mm_cvtss_f32(v); }

  // Result lane k = v[lane k of <a, b, c, d>].
  template <int a, int b, int c, int d>
  static V Shuffle(V v) {
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(d, c, b, a));
  }
  // Flips the sign of the lanes whose flag is 1 (an exclusive or).
  template <int a, int b, int c, int d>
  static V Signs(V v) {
    union {
      unsigned u[4];
      float f[4];
    } bits = {{a ? 0x80000000u : 0u, b ? 0x80000000u : 0u, c ? 0x80000000u : 0u, d ? 0x80000000u : 0u}};
    return _mm_xor_ps(v, _mm_loadu_ps(bits.f));
  }
  static V ZeroW(V v) {
    const V mask = XyzMask();
    return _mm_and_ps(v, mask);
  }

  static float Dot4(V a, V b) {
    V m = _mm_mul_ps(a, b);
    m = _mm_add_ps(m, _mm_movehl_ps(m, m));
    m = _mm_add_ss(m, _mm_shuffle_ps(m, m, _MM_SHUFFLE(1, 1, 1, 1)));
    return _mm_cvtss_f32(m);
  }
  static float Dot3(V a, V b) {
    const V m = _mm_mul_ps(a, b);
    const V y = _mm_shuffle_ps(m, m, _MM_SHUFFLE(1, 1, 1, 1));
    const V z = _mm_movehl_ps(m, m);
    return _mm_cvtss_f32(_mm_add_ss(_mm_add_ss(m, y), z));
  }

  // 1/sqrt(x) to about 23 bits (estimate plus one Newton step); 0 for x <= 0
  // so that a zero vector stays zero.
  static float InvSqrtOrZero(float x) {
    const V v = _mm_set_ss(x);
    const V r = _mm_rsqrt_ss(v);
    const V half = _mm_set_ss(0.5f), threeHalves = _mm_set_ss(1.5f);
    const V refined = _mm_mul_ss(r, _mm_sub_ss(threeHalves, _mm_mul_ss(_mm_mul_ss(half, v), _mm_mul_ss(r, r))));
    return _mm_cvtss_f32(_mm_and_ps(refined, _mm_cmpgt_ss(v, _mm_setzero_ps())));
  }
  // An exact division (divss), so that it agrees with a caller's own 1/x.
  static float Recip(float x) { return 1.0f / x; }
  static float Sqrt(float x) { return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(x))); }

  static void Transpose(V& a, V& b, V& c, V& d) { _MM_TRANSPOSE4_PS(a, b, c, d); }

  static float Sin(float x) { return sinf(x); }
  static float Cos(float x) { return cosf(x); }
  static float Acos(float x) { return acosf(x); }
  static float Atan2(float y, float x) { return atan2f(y, x); }

 private:
  // All ones in lanes 0-2, zero in lane 3, without SSE2 integer moves.
  static V XyzMask() {
    union {
      unsigned u[4];
      float f[4];
    } bits = {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0u}};
    return _mm_loadu_ps(bits.f);
  }
};

}  // namespace
