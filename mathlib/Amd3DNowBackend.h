// Four-float vector operations on the MMX registers with 3DNow!, for the
// generic routines of SimdKernels.h: a vector is a pair of 2-float MMX
// values. Every routine opens a Scope, whose end leaves the MMX state with
// femms as the calling convention requires; the libm helpers leave it too
// before they call out. Built with -m3dnowa (the Athlon file), the extended
// 3DNow! swap and the AMD MMX-extension word shuffle replace the
// two-instruction lane moves.
// Internal linkage throughout: this code must never serve another file.
//
// The code is written against GCC's <mm3dnow.h> (_m_from_float,
// _m_to_float, _m_pfrsqit1, _m_pswapd are GCC's), and clang's code
// generator cannot lower the MMX bit casts this needs. Under any other
// compiler STAGEHOST_MATH_HAS_3DNOW is 0, the backend is left out and the
// 3DNow! and Athlon set files build to fill functions that leave a table
// alone, so the installer then declines as on a processor without 3DNow!.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#define STAGEHOST_MATH_HAS_3DNOW 1
#else
#define STAGEHOST_MATH_HAS_3DNOW 0
#endif

#if STAGEHOST_MATH_HAS_3DNOW

#include <mm3dnow.h>
#include <mmintrin.h>
#if defined(__3dNOW_A__)
#include <xmmintrin.h>  // pshufw, one of the AMD MMX extensions
#endif

#include <math.h>

#include <cstring>

namespace {

struct Amd3DNowBackend {
  struct V {
    __m64 lo, hi;
  };
  struct Scope {
    Scope() = default;
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    ~Scope() { _m_femms(); }
  };

  static __m64 Load2Raw(const float* p) {
    __m64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static void Store2Raw(float* p, __m64 v) { std::memcpy(p, &v, sizeof v); }
  static __m64 Pair(float a, float b) { return _m_punpckldq(_m_from_float(a), _m_from_float(b)); }

  static V Load(const float* p) { return V{Load2Raw(p), Load2Raw(p + 2)}; }
  static void Store(float* p, V v) {
    Store2Raw(p, v.lo);
    Store2Raw(p + 2, v.hi);
  }
  static V Load3(const float* p, float w) { return V{Load2Raw(p), Pair(p[2], w)}; }
  static void Store3(float* p, V v) {
    Store2Raw(p, v.lo);
    p[2] = _m_to_float(v.hi);
  }
  static V Load2(const float* p, float z, float w) { return V{Load2Raw(p), Pair(z, w)}; }
  static void Store2(float* p, V v) { Store2Raw(p, v.lo); }

  static V Set(float x, float y, float z, float w) { return V{Pair(x, y), Pair(z, w)}; }
  static V Splat(float s) {
    const __m64 v = _m_from_float(s);
    const __m64 both = _m_punpckldq(v, v);
    return V{both, both};
  }
  static V Zero() { return V{_mm_setzero_si64(), _mm_setzero_si64()}; }
  static V Add(V a, V b) { return V{_m_pfadd(a.lo, b.lo), _m_pfadd(a.hi, b.hi)}; }
  static V Sub(V a, V b) { return V{_m_pfsub(a.lo, b.lo), _m_pfsub(a.hi, b.hi)}; }
  static V Mul(V a, V b) { return V{_m_pfmul(a.lo, b.lo), _m_pfmul(a.hi, b.hi)}; }
  static float First(V v) { return _m_to_float(v.lo); }

  // (y, x), (x, x) and (y, y) of a pair (x, y).
  static __m64 Swapped(__m64 v) {
#if defined(__3dNOW_A__)
    return _m_pswapd(v);
#else
    return _m_punpckldq(_m_punpckhdq(v, v), v);
#endif
  }
  static __m64 BothLow(__m64 v) {
#if defined(__3dNOW_A__) && defined(__SSE__)  // pshufw's intrinsic wants SSE on (32-bit)
    return _mm_shuffle_pi16(v, 0x44);
#else
    return _m_punpckldq(v, v);
#endif
  }
  static __m64 BothHigh(__m64 v) {
#if defined(__3dNOW_A__) && defined(__SSE__)  // pshufw's intrinsic wants SSE on (32-bit)
    return _mm_shuffle_pi16(v, 0xEE);
#else
    return _m_punpckhdq(v, v);
#endif
  }

  // (v[i], v[j]) as one MMX value.
  template <int i, int j>
  static __m64 Pick(V v) {
    const __m64 first = i < 2 ? v.lo : v.hi;
    const __m64 second = j < 2 ? v.lo : v.hi;
    if constexpr (i == 0 && j == 1) {
      return v.lo;
    } else if constexpr (i == 2 && j == 3) {
      return v.hi;
    } else if constexpr (i / 2 == j / 2 && i % 2 == 1 && j % 2 == 0) {
      return Swapped(first);
    } else if constexpr (i == j) {
      return i % 2 == 0 ? BothLow(first) : BothHigh(first);
    } else {
      const __m64 a = i % 2 == 0 ? first : _m_punpckhdq(first, first);
      const __m64 b = j % 2 == 0 ? second : _m_punpckhdq(second, second);
      return _m_punpckldq(a, b);
    }
  }
  template <int a, int b, int c, int d>
  static V Shuffle(V v) {
    return V{Pick<a, b>(v), Pick<c, d>(v)};
  }
  // Flips the sign of the lanes whose flag is 1 (MMX exclusive or).
  template <int a, int b, int c, int d>
  static V Signs(V v) {
    const int sign = static_cast<int>(0x80000000u);
    return V{_m_pxor(v.lo, _mm_set_pi32(b ? sign : 0, a ? sign : 0)),
             _m_pxor(v.hi, _mm_set_pi32(d ? sign : 0, c ? sign : 0))};
  }
  static V ZeroW(V v) { return V{v.lo, _m_punpckldq(v.hi, _mm_setzero_si64())}; }

  // Horizontal sum of both halves, in the low lane.
  static __m64 Sum(__m64 lo, __m64 hi) {
    const __m64 s = _m_pfadd(lo, hi);
    return _m_pfacc(s, s);
  }
  static float Dot4(V a, V b) { return _m_to_float(Sum(_m_pfmul(a.lo, b.lo), _m_pfmul(a.hi, b.hi))); }
  static float Dot3(V a, V b) { return Dot4(a, ZeroW(b)); }

  // 1/sqrt(x) by the estimate and the two refinement steps (24 bits); 0 for
  // x <= 0 so that a zero vector stays zero.
  static float InvSqrtOrZero(float x) {
    if (!(x > 0.0f)) return 0.0f;
    const __m64 v = _m_from_float(x);
    const __m64 r = _m_pfrsqrt(v);
    const __m64 step = _m_pfrsqit1(_m_pfmul(r, r), v);
    return _m_to_float(_m_pfrcpit2(step, r));
  }
  static float Recip(float x) {
    const __m64 v = _m_from_float(x);
    const __m64 r = _m_pfrcp(v);
    return _m_to_float(_m_pfrcpit2(_m_pfrcpit1(v, r), r));
  }
  static float Sqrt(float x) { return x > 0.0f ? x * InvSqrtOrZero(x) : 0.0f; }

  static void Transpose(V& a, V& b, V& c, V& d) {
    const V r0{_m_punpckldq(a.lo, b.lo), _m_punpckldq(c.lo, d.lo)};
    const V r1{_m_punpckhdq(a.lo, b.lo), _m_punpckhdq(c.lo, d.lo)};
    const V r2{_m_punpckldq(a.hi, b.hi), _m_punpckldq(c.hi, d.hi)};
    const V r3{_m_punpckhdq(a.hi, b.hi), _m_punpckhdq(c.hi, d.hi)};
    a = r0;
    b = r1;
    c = r2;
    d = r3;
  }

  // libm works on the SSE unit but may use the x87 stack: leave MMX first.
  static float Sin(float x) {
    _m_femms();
    return sinf(x);
  }
  static float Cos(float x) {
    _m_femms();
    return cosf(x);
  }
  static float Acos(float x) {
    _m_femms();
    return acosf(x);
  }
  static float Atan2(float y, float x) {
    _m_femms();
    return atan2f(y, x);
  }
};

}  // namespace

#endif  // STAGEHOST_MATH_HAS_3DNOW
