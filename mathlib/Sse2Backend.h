// The SSE backend with the SSE2 instructions that help 4-float work: pshufd
// shuffles (one instruction, source kept), integer masks and 64-bit moves.
#pragma once

#include <emmintrin.h>

#include "mathlib/SseBackend.h"

namespace {

struct Sse2Backend : SseBackend {
  template <int a, int b, int c, int d>
  static V Shuffle(V v) {
    return _mm_castsi128_ps(_mm_shuffle_epi32(_mm_castps_si128(v), _MM_SHUFFLE(d, c, b, a)));
  }
  template <int a, int b, int c, int d>
  static V Signs(V v) {
    const int sign = static_cast<int>(0x80000000u);
    return _mm_xor_ps(v, _mm_castsi128_ps(_mm_setr_epi32(a ? sign : 0, b ? sign : 0, c ? sign : 0, d ? sign : 0)));
  }
  static V ZeroW(V v) {
    return _mm_and_ps(v, _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0)));
  }
  static V Load3(const float* p, float w) {
    const V xy = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    return _mm_movelh_ps(xy, _mm_unpacklo_ps(_mm_load_ss(p + 2), _mm_set_ss(w)));
  }
  static void Store3(float* p, V v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(v));
    _mm_store_ss(p + 2, Shuffle<2, 2, 2, 2>(v));
  }
};

}  // namespace
