// The routines of every slot written once over a 4-float vector backend B
// (SseBackend.h, Sse2Backend.h, Amd3DNowBackend.h). Each routine-set file
// instantiates them with its own backend under its own instruction-set
// flags and installs the slots its set brings. Everything here has internal
// linkage, so no instantiation can leak into another file.
//
// A routine loads all of its inputs before it stores, so outputs may alias
// inputs. Numerical choices follow the plain routines (same branches and
// thresholds); only the rounding differs.
#pragma once

#include <cmath>

#include "mathlib/MathTypes.h"

namespace {

template <class B>
struct SimdKernels {
  using V = typename B::V;
  using Scope = typename B::Scope;

  // ---- helpers (no Scope of their own) ----------------------------------

  template <class T>
  static const float* F(const T* p) {
    return reinterpret_cast<const float*>(p);
  }
  template <class T>
  static float* F(T* p) {
    return reinterpret_cast<float*>(p);
  }

  template <int N>
  static V LoadN(const float* p) {
    if constexpr (N == 2) return B::Load2(p, 0.0f, 0.0f);
    if constexpr (N == 3) return B::Load3(p, 0.0f);
    if constexpr (N == 4) return B::Load(p);
  }
  template <int N>
  static void StoreN(float* p, V v) {
    if constexpr (N == 2) B::Store2(p, v);
    if constexpr (N == 3) B::Store3(p, v);
    if constexpr (N == 4) B::Store(p, v);
  }

  struct Rows {
    V r[4];
  };
  static Rows LoadRows(const MathMatrix* m) {
    const float* p = F(m);
    return Rows{{B::Load(p), B::Load(p + 4), B::Load(p + 8), B::Load(p + 12)}};
  }
  static void StoreRows(MathMatrix* m, const Rows& rows) {
    float* p = F(m);
    for (int i = 0; i < 4; ++i) B::Store(p + 4 * i, rows.r[i]);
  }
  static Rows IdentityRows() {
    return Rows{{B::Set(1, 0, 0, 0), B::Set(0, 1, 0, 0), B::Set(0, 0, 1, 0), B::Set(0, 0, 0, 1)}};
  }

  // Row vector v times the matrix rows.
  static V Times(V v, const Rows& m) {
    const V x = B::Mul(B::template Shuffle<0, 0, 0, 0>(v), m.r[0]);
    const V y = B::Mul(B::template Shuffle<1, 1, 1, 1>(v), m.r[1]);
    const V z = B::Mul(B::template Shuffle<2, 2, 2, 2>(v), m.r[2]);
    const V w = B::Mul(B::template Shuffle<3, 3, 3, 3>(v), m.r[3]);
    return B::Add(B::Add(x, y), B::Add(z, w));
  }
  // (x, y, 0, 1) and (x, y, z, 1) times the rows.
  static V TimesPoint2(const float* p, const Rows& m) {
    return B::Add(B::Add(B::Mul(B::Splat(p[0]), m.r[0]), B::Mul(B::Splat(p[1]), m.r[1])), m.r[3]);
  }
  static V TimesPoint3(const float* p, const Rows& m) {
    return B::Add(B::Add(B::Mul(B::Splat(p[0]), m.r[0]), B::Mul(B::Splat(p[1]), m.r[1])),
                  B::Add(B::Mul(B::Splat(p[2]), m.r[2]), m.r[3]));
  }
  static Rows Product(const Rows& a, const Rows& b) {
    return Rows{{Times(a.r[0], b), Times(a.r[1], b), Times(a.r[2], b), Times(a.r[3], b)}};
  }
  static Rows Transposed(Rows m) {
    B::Transpose(m.r[0], m.r[1], m.r[2], m.r[3]);
    return m;
  }

  // The 2x2 minors of two rows b and c, arranged for CrossWith:
  // sa = (zw, zw, yw, yz), sb = (yw, xw, xw, xz), sc = (yz, xz, xy, xy).
  struct Minors {
    V sa, sb, sc;
  };
  static Minors MinorsOf(V b, V c) {
    const V b1 = B::template Shuffle<1, 0, 0, 0>(b), c1 = B::template Shuffle<1, 0, 0, 0>(c);
    const V b2 = B::template Shuffle<2, 2, 1, 1>(b), c2 = B::template Shuffle<2, 2, 1, 1>(c);
    const V b3 = B::template Shuffle<3, 3, 3, 2>(b), c3 = B::template Shuffle<3, 3, 3, 2>(c);
    return Minors{B::Sub(B::Mul(b2, c3), B::Mul(b3, c2)), B::Sub(B::Mul(b1, c3), B::Mul(b3, c1)),
                  B::Sub(B::Mul(b1, c2), B::Mul(b2, c1))};
  }
  // The 4-D cross product of a with the rows the minors came from
  // (Negated: its opposite).
  template <bool Negated = false>
  static V CrossWith(V a, const Minors& m) {
    const V a1 = B::template Shuffle<1, 0, 0, 0>(a);
    const V a2 = B::template Shuffle<2, 2, 1, 1>(a);
    const V a3 = B::template Shuffle<3, 3, 3, 2>(a);
    const V sum = B::Add(B::Sub(B::Mul(a1, m.sa), B::Mul(a2, m.sb)), B::Mul(a3, m.sc));
    return B::template Signs<Negated, !Negated, Negated, !Negated>(sum);
  }

  // Cofactor rows c[i] (c[i][j] = signed minor of element (i, j)).
  static Rows CofactorRows(const Rows& m) {
    const Minors low = MinorsOf(m.r[2], m.r[3]);
    const Minors high = MinorsOf(m.r[0], m.r[1]);
    return Rows{{CrossWith(m.r[1], low), CrossWith<true>(m.r[0], low), CrossWith(m.r[3], high),
                 CrossWith<true>(m.r[2], high)}};
  }

  // False (rows untouched) when 1/det is not finite.
  static bool InverseRows(Rows& m, float* determinant) {
    Rows c = CofactorRows(m);
    const float det = B::Dot4(m.r[0], c.r[0]);
    if (determinant) *determinant = det;
    const float exact = 1.0f / det;
    if (!std::isfinite(exact)) return false;
    const V k = B::Splat(B::Recip(det));
    B::Transpose(c.r[0], c.r[1], c.r[2], c.r[3]);
    for (int i = 0; i < 4; ++i) m.r[i] = B::Mul(c.r[i], k);
    return true;
  }

  static V NormalisedBy(V v, float lengthSquared) { return B::Mul(v, B::Splat(B::InvSqrtOrZero(lengthSquared))); }

  static V Cross3(V u, V v) {
    return B::Sub(B::Mul(B::template Shuffle<1, 2, 0, 3>(u), B::template Shuffle<2, 0, 1, 3>(v)),
                  B::Mul(B::template Shuffle<2, 0, 1, 3>(u), B::template Shuffle<1, 2, 0, 3>(v)));
  }

  // Hamilton product p (x) q.
  static V Hamilton(V p, V q) {
    const V w = B::Mul(B::template Shuffle<3, 3, 3, 3>(p), q);
    const V x = B::template Signs<0, 1, 0, 1>(
        B::Mul(B::template Shuffle<0, 0, 0, 0>(p), B::template Shuffle<3, 2, 1, 0>(q)));
    const V y = B::template Signs<0, 0, 1, 1>(
        B::Mul(B::template Shuffle<1, 1, 1, 1>(p), B::template Shuffle<2, 3, 0, 1>(q)));
    const V z = B::template Signs<1, 0, 0, 1>(
        B::Mul(B::template Shuffle<2, 2, 2, 2>(p), B::template Shuffle<1, 0, 3, 2>(q)));
    return B::Add(B::Add(w, x), B::Add(y, z));
  }

  static Rows QuatRows(V q) {
    const V q2 = B::Add(q, q);
    const V r0 = B::Add(B::Add(B::Set(1, 0, 0, 0), B::Mul(B::Mul(B::template Shuffle<1, 0, 0, 0>(q),
                                                                  B::template Shuffle<1, 1, 2, 0>(q2)),
                                                           B::Set(-1, 1, 1, 0))),
                        B::Mul(B::Mul(B::template Shuffle<2, 3, 3, 0>(q), B::template Shuffle<2, 2, 1, 0>(q2)),
                               B::Set(-1, 1, -1, 0)));
    const V r1 = B::Add(B::Add(B::Set(0, 1, 0, 0), B::Mul(B::Mul(B::template Shuffle<0, 0, 1, 0>(q),
                                                                  B::template Shuffle<1, 0, 2, 0>(q2)),
                                                           B::Set(1, -1, 1, 0))),
                        B::Mul(B::Mul(B::template Shuffle<3, 2, 3, 0>(q), B::template Shuffle<2, 2, 0, 0>(q2)),
                               B::Set(-1, -1, 1, 0)));
    const V r2 = B::Add(B::Add(B::Set(0, 0, 1, 0), B::Mul(B::Mul(B::template Shuffle<0, 1, 0, 0>(q),
                                                                  B::template Shuffle<2, 2, 0, 0>(q2)),
                                                           B::Set(1, 1, -1, 0))),
                        B::Mul(B::Mul(B::template Shuffle<3, 3, 1, 0>(q), B::template Shuffle<1, 0, 1, 0>(q2)),
                               B::Set(1, -1, -1, 0)));
    return Rows{{r0, r1, r2, B::Set(0, 0, 0, 1)}};
  }
  static Rows QuatRowsOrIdentity(const MathQuat* q) { return q ? QuatRows(B::Load(F(q))) : IdentityRows(); }
  static Rows TranslationRows(V t) {
    Rows r = IdentityRows();
    r.r[3] = B::Add(B::ZeroW(t), B::Set(0, 0, 0, 1));
    return r;
  }
  static Rows ScalingRows(V s) {
    return Rows{{B::Mul(s, B::Set(1, 0, 0, 0)), B::Mul(s, B::Set(0, 1, 0, 0)), B::Mul(s, B::Set(0, 0, 1, 0)),
                 B::Set(0, 0, 0, 1)}};
  }
  static V Vec3OrZero(const MathVec3* v) { return v ? B::Load3(F(v), 0.0f) : B::Zero(); }

  // Slerp of loaded quaternions; the same branch as the plain routine.
  static V SlerpCore(V a, V b, float t) {
    float cosine = B::Dot4(a, b);
    float sign = 1.0f;
    if (cosine < 0.0f) {
      cosine = -cosine;
      sign = -1.0f;
    }
    float ka = 1.0f - t, kb = t;
    if (1.0f - cosine > 1e-4f) {
      const float angle = B::Acos(cosine);
      const float inverseSine = B::InvSqrtOrZero(1.0f - cosine * cosine);
      ka = B::Sin(ka * angle) * inverseSine;
      kb = B::Sin(kb * angle) * inverseSine;
    }
    return B::Add(B::Mul(a, B::Splat(ka)), B::Mul(b, B::Splat(kb * sign)));
  }

  static V LogCore(V q) {
    const float len2 = B::Dot3(q, q);
    const float len = B::Sqrt(len2);
    const float k = len > 1e-6f ? B::Atan2(len, B::First(B::template Shuffle<3, 3, 3, 3>(q))) / len : 1.0f;
    return B::ZeroW(B::Mul(q, B::Splat(k)));
  }
  static V ExpCore(V q) {
    const float angle = B::Sqrt(B::Dot3(q, q));
    const float k = angle > 1e-6f ? B::Sin(angle) / angle : 1.0f;
    const float c = B::Cos(angle);
    return B::Add(B::ZeroW(B::Mul(q, B::Splat(k))), B::Set(0, 0, 0, c));
  }
  static V QuatInverseCore(V q) {
    const float len2 = B::Dot4(q, q);
    if (!(len2 > 0.0f)) return B::Zero();
    return B::Mul(B::template Signs<1, 1, 1, 0>(q), B::Splat(B::Recip(len2)));
  }

  // ---- slot routines ------------------------------------------------------

  static MathVec4* Vec2Transform(MathVec4* out, const MathVec2* v, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    const Rows rows = LoadRows(m);
    B::Store(F(out), TimesPoint2(F(v), rows));
    return out;
  }
  static MathVec4* Vec3Transform(MathVec4* out, const MathVec3* v, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    const Rows rows = LoadRows(m);
    B::Store(F(out), TimesPoint3(F(v), rows));
    return out;
  }
  static MathVec4* Vec4Transform(MathVec4* out, const MathVec4* v, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), Times(B::Load(F(v)), LoadRows(m)));
    return out;
  }
  static MathMatrix* MatrixMultiply(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
    [[maybe_unused]] Scope scope;
    StoreRows(out, Product(LoadRows(a), LoadRows(b)));
    return out;
  }
  static MathMatrix* MatrixMultiplyTranspose(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
    [[maybe_unused]] Scope scope;
    StoreRows(out, Transposed(Product(LoadRows(a), LoadRows(b))));
    return out;
  }
  static MathVec2* Vec2TransformNormal(MathVec2* out, const MathVec2* v, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    const float* e = F(m);
    const float* p = F(v);
    B::Store2(F(out), B::Add(B::Mul(B::Splat(p[0]), B::Load(e)), B::Mul(B::Splat(p[1]), B::Load(e + 4))));
    return out;
  }
  static MathVec3* Vec3TransformNormal(MathVec3* out, const MathVec3* v, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    const float* e = F(m);
    const float* p = F(v);
    const V r = B::Add(B::Add(B::Mul(B::Splat(p[0]), B::Load(e)), B::Mul(B::Splat(p[1]), B::Load(e + 4))),
                       B::Mul(B::Splat(p[2]), B::Load(e + 8)));
    B::Store3(F(out), r);
    return out;
  }
  template <int N, class T>
  static T* NormaliseN(T* out, const T* v) {
    [[maybe_unused]] Scope scope;
    const V x = LoadN<N>(F(v));
    StoreN<N>(F(out), NormalisedBy(x, B::Dot4(x, x)));
    return out;
  }
  static MathVec3* Vec3Normalise(MathVec3* out, const MathVec3* v) { return NormaliseN<3>(out, v); }
  static MathVec4* Vec4Normalise(MathVec4* out, const MathVec4* v) { return NormaliseN<4>(out, v); }
  static MathQuat* QuatNormalise(MathQuat* out, const MathQuat* q) { return NormaliseN<4>(out, q); }
  static MathVec2* Vec2Normalise(MathVec2* out, const MathVec2* v) { return NormaliseN<2>(out, v); }

  static MathVec2* Vec2TransformCoord(MathVec2* out, const MathVec2* v, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    const V r = TimesPoint2(F(v), LoadRows(m));
    B::Store2(F(out), B::Mul(r, B::Splat(B::Recip(B::First(B::template Shuffle<3, 3, 3, 3>(r))))));
    return out;
  }
  static MathVec3* Vec3TransformCoord(MathVec3* out, const MathVec3* v, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    const V r = TimesPoint3(F(v), LoadRows(m));
    B::Store3(F(out), B::Mul(r, B::Splat(B::Recip(B::First(B::template Shuffle<3, 3, 3, 3>(r))))));
    return out;
  }
  static float MatrixDeterminant(const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    const Rows rows = LoadRows(m);
    return B::Dot4(rows.r[0], CrossWith(rows.r[1], MinorsOf(rows.r[2], rows.r[3])));
  }
  static MathPlane* PlaneFromPointNormal(MathPlane* out, const MathVec3* point, const MathVec3* normal) {
    [[maybe_unused]] Scope scope;
    const V n = B::Load3(F(normal), 0.0f);
    const float d = -B::Dot4(B::Load3(F(point), 0.0f), n);
    B::Store(F(out), B::Add(n, B::Set(0, 0, 0, d)));
    return out;
  }
  static MathPlane* PlaneFromPoints(MathPlane* out, const MathVec3* a, const MathVec3* b, const MathVec3* c) {
    [[maybe_unused]] Scope scope;
    const V pa = B::Load3(F(a), 0.0f);
    const V n0 = Cross3(B::Sub(B::Load3(F(b), 0.0f), pa), B::Sub(B::Load3(F(c), 0.0f), pa));
    const V n = NormalisedBy(n0, B::Dot4(n0, n0));
    const float d = -B::Dot4(pa, n);
    B::Store(F(out), B::Add(B::ZeroW(n), B::Set(0, 0, 0, d)));
    return out;
  }

  static Rows Combined(const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world) {
    Rows m = world ? LoadRows(world) : IdentityRows();
    if (view) m = Product(m, LoadRows(view));
    if (projection) m = Product(m, LoadRows(projection));
    return m;
  }
  static MathVec3* Vec3Project(MathVec3* out, const MathVec3* v, const MathViewport* viewport,
                               const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world) {
    [[maybe_unused]] Scope scope;
    const Rows m = Combined(projection, view, world);
    V r = TimesPoint3(F(v), m);
    r = B::Mul(r, B::Splat(B::Recip(B::First(B::template Shuffle<3, 3, 3, 3>(r)))));
    if (viewport) {
      const float w = static_cast<float>(viewport->width) * 0.5f, h = static_cast<float>(viewport->height) * 0.5f;
      const V scale = B::Set(w, -h, viewport->maxZ - viewport->minZ, 0);
      const V offset = B::Set(static_cast<float>(viewport->x) + w, static_cast<float>(viewport->y) + h,
                              viewport->minZ, 0);
      r = B::Add(B::Mul(r, scale), offset);
    }
    B::Store3(F(out), r);
    return out;
  }
  static MathVec3* Vec3Unproject(MathVec3* out, const MathVec3* v, const MathViewport* viewport,
                                 const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world) {
    [[maybe_unused]] Scope scope;
    Rows m = Combined(projection, view, world);
    if (!InverseRows(m, nullptr)) return nullptr;
    V p = B::Load3(F(v), 1.0f);
    if (viewport) {
      const float w = static_cast<float>(viewport->width), h = static_cast<float>(viewport->height);
      const V scale = B::Set(2.0f / w, -2.0f / h, 1.0f / (viewport->maxZ - viewport->minZ), 1);
      const V offset = B::Set(static_cast<float>(viewport->x), static_cast<float>(viewport->y), viewport->minZ, 0);
      p = B::Add(B::Mul(B::Sub(p, offset), scale), B::Set(-1, 1, 0, 0));
    }
    V r = Times(p, m);
    r = B::Mul(r, B::Splat(B::Recip(B::First(B::template Shuffle<3, 3, 3, 3>(r)))));
    B::Store3(F(out), r);
    return out;
  }
  static MathVec4* Vec4Cross(MathVec4* out, const MathVec4* a, const MathVec4* b, const MathVec4* c) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), CrossWith(B::Load(F(a)), MinorsOf(B::Load(F(b)), B::Load(F(c)))));
    return out;
  }

  template <int N, class T>
  static T* HermiteN(T* out, const T* p1, const T* t1, const T* p2, const T* t2, float s) {
    [[maybe_unused]] Scope scope;
    const float s2 = s * s, s3 = s2 * s;
    const V r = B::Add(B::Add(B::Mul(LoadN<N>(F(p1)), B::Splat(2.0f * s3 - 3.0f * s2 + 1.0f)),
                              B::Mul(LoadN<N>(F(t1)), B::Splat(s3 - 2.0f * s2 + s))),
                       B::Add(B::Mul(LoadN<N>(F(p2)), B::Splat(-2.0f * s3 + 3.0f * s2)),
                              B::Mul(LoadN<N>(F(t2)), B::Splat(s3 - s2))));
    StoreN<N>(F(out), r);
    return out;
  }
  template <int N, class T>
  static T* CatmullRomN(T* out, const T* p0, const T* p1, const T* p2, const T* p3, float s) {
    [[maybe_unused]] Scope scope;
    const float s2 = s * s, s3 = s2 * s;
    const V r = B::Add(B::Add(B::Mul(LoadN<N>(F(p0)), B::Splat(0.5f * (-s3 + 2.0f * s2 - s))),
                              B::Mul(LoadN<N>(F(p1)), B::Splat(0.5f * (3.0f * s3 - 5.0f * s2 + 2.0f)))),
                       B::Add(B::Mul(LoadN<N>(F(p2)), B::Splat(0.5f * (-3.0f * s3 + 4.0f * s2 + s))),
                              B::Mul(LoadN<N>(F(p3)), B::Splat(0.5f * (s3 - s2)))));
    StoreN<N>(F(out), r);
    return out;
  }
  template <int N, class T>
  static T* BarycentricN(T* out, const T* v1, const T* v2, const T* v3, float f, float g) {
    [[maybe_unused]] Scope scope;
    const V a = LoadN<N>(F(v1));
    const V r = B::Add(a, B::Add(B::Mul(B::Sub(LoadN<N>(F(v2)), a), B::Splat(f)),
                                 B::Mul(B::Sub(LoadN<N>(F(v3)), a), B::Splat(g))));
    StoreN<N>(F(out), r);
    return out;
  }
  static MathVec2* Vec2Hermite(MathVec2* o, const MathVec2* a, const MathVec2* b, const MathVec2* c,
                               const MathVec2* d, float s) {
    return HermiteN<2>(o, a, b, c, d, s);
  }
  static MathVec3* Vec3Hermite(MathVec3* o, const MathVec3* a, const MathVec3* b, const MathVec3* c,
                               const MathVec3* d, float s) {
    return HermiteN<3>(o, a, b, c, d, s);
  }
  static MathVec4* Vec4Hermite(MathVec4* o, const MathVec4* a, const MathVec4* b, const MathVec4* c,
                               const MathVec4* d, float s) {
    return HermiteN<4>(o, a, b, c, d, s);
  }
  static MathVec2* Vec2CatmullRom(MathVec2* o, const MathVec2* a, const MathVec2* b, const MathVec2* c,
                                  const MathVec2* d, float s) {
    return CatmullRomN<2>(o, a, b, c, d, s);
  }
  static MathVec3* Vec3CatmullRom(MathVec3* o, const MathVec3* a, const MathVec3* b, const MathVec3* c,
                                  const MathVec3* d, float s) {
    return CatmullRomN<3>(o, a, b, c, d, s);
  }
  static MathVec4* Vec4CatmullRom(MathVec4* o, const MathVec4* a, const MathVec4* b, const MathVec4* c,
                                  const MathVec4* d, float s) {
    return CatmullRomN<4>(o, a, b, c, d, s);
  }
  static MathVec2* Vec2Barycentric(MathVec2* o, const MathVec2* a, const MathVec2* b, const MathVec2* c, float f,
                                   float g) {
    return BarycentricN<2>(o, a, b, c, f, g);
  }
  static MathVec3* Vec3Barycentric(MathVec3* o, const MathVec3* a, const MathVec3* b, const MathVec3* c, float f,
                                   float g) {
    return BarycentricN<3>(o, a, b, c, f, g);
  }
  static MathVec4* Vec4Barycentric(MathVec4* o, const MathVec4* a, const MathVec4* b, const MathVec4* c, float f,
                                   float g) {
    return BarycentricN<4>(o, a, b, c, f, g);
  }

  static MathMatrix* MatrixInverse(MathMatrix* out, float* determinant, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    Rows rows = LoadRows(m);
    if (!InverseRows(rows, determinant)) return nullptr;
    StoreRows(out, rows);
    return out;
  }
  static MathQuat* QuatMultiply(MathQuat* out, const MathQuat* a, const MathQuat* b) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), Hamilton(B::Load(F(b)), B::Load(F(a))));
    return out;
  }
  static MathPlane* PlaneNormalise(MathPlane* out, const MathPlane* p) {
    [[maybe_unused]] Scope scope;
    const V v = B::Load(F(p));
    B::Store(F(out), NormalisedBy(v, B::Dot3(v, v)));
    return out;
  }
  static MathVec3* PlaneIntersectLine(MathVec3* out, const MathPlane* p, const MathVec3* a, const MathVec3* b) {
    [[maybe_unused]] Scope scope;
    const V n = B::Load(F(p));
    const V pa = B::Load3(F(a), 1.0f);
    const V d = B::Sub(B::Load3(F(b), 1.0f), pa);
    const float denominator = B::Dot4(n, d);
    if (denominator == 0.0f) return nullptr;
    const float t = -B::Dot4(n, pa) / denominator;
    B::Store3(F(out), B::Add(pa, B::Mul(d, B::Splat(t))));
    return out;
  }
  static void QuatToAxisAngle(const MathQuat* q, MathVec3* axis, float* angle) {
    [[maybe_unused]] Scope scope;
    const V v = B::Load(F(q));
    if (axis) B::Store3(F(axis), v);
    if (angle) {
      const float w = B::First(B::template Shuffle<3, 3, 3, 3>(v));
      *angle = 2.0f * B::Acos(std::fmin(1.0f, std::fmax(-1.0f, w)));
    }
  }
  // The same branches as the plain routine; the largest component is
  // 0.25 s, the others a sum or difference of two elements divided by s.
  static MathQuat* QuatFromRotationMatrix(MathQuat* out, const MathMatrix* matrix) {
    [[maybe_unused]] Scope scope;
    const auto& m = matrix->m;
    const float trace = m[0][0] + m[1][1] + m[2][2];
    V q;
    if (trace > 0.0f) {
      const float s2 = 4.0f * (trace + 1.0f);
      q = B::Set(m[1][2] - m[2][1], m[2][0] - m[0][2], m[0][1] - m[1][0], 0.25f * s2);
      q = B::Mul(q, B::Splat(B::Recip(B::Sqrt(s2))));
    } else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
      const float s2 = 4.0f * (1.0f + m[0][0] - m[1][1] - m[2][2]);
      q = B::Set(0.25f * s2, m[0][1] + m[1][0], m[0][2] + m[2][0], m[1][2] - m[2][1]);
      q = B::Mul(q, B::Splat(B::Recip(B::Sqrt(s2))));
    } else if (m[1][1] >= m[2][2]) {
      const float s2 = 4.0f * (1.0f + m[1][1] - m[0][0] - m[2][2]);
      q = B::Set(m[0][1] + m[1][0], 0.25f * s2, m[1][2] + m[2][1], m[2][0] - m[0][2]);
      q = B::Mul(q, B::Splat(B::Recip(B::Sqrt(s2))));
    } else {
      const float s2 = 4.0f * (1.0f + m[2][2] - m[0][0] - m[1][1]);
      q = B::Set(m[0][2] + m[2][0], m[1][2] + m[2][1], 0.25f * s2, m[0][1] - m[1][0]);
      q = B::Mul(q, B::Splat(B::Recip(B::Sqrt(s2))));
    }
    B::Store(F(out), q);
    return out;
  }
  static MathQuat* QuatFromYawPitchRoll(MathQuat* out, float yaw, float pitch, float roll) {
    [[maybe_unused]] Scope scope;
    const float sy = B::Sin(yaw * 0.5f), cy = B::Cos(yaw * 0.5f);
    const float sp = B::Sin(pitch * 0.5f), cp = B::Cos(pitch * 0.5f);
    const float sr = B::Sin(roll * 0.5f), cr = B::Cos(roll * 0.5f);
    const V a = B::Mul(B::Mul(B::Set(cy, sy, cy, cy), B::Set(sp, cp, cp, cp)), B::Set(cr, cr, sr, cr));
    const V b = B::Mul(B::Mul(B::Set(sy, cy, sy, sy), B::Set(cp, sp, sp, sp)), B::Set(sr, sr, cr, sr));
    B::Store(F(out), B::Add(a, B::template Signs<0, 1, 1, 0>(b)));
    return out;
  }
  static MathMatrix* MatrixTranslation(MathMatrix* out, float x, float y, float z) {
    [[maybe_unused]] Scope scope;
    StoreRows(out, TranslationRows(B::Set(x, y, z, 0)));
    return out;
  }
  static MathMatrix* MatrixScaling(MathMatrix* out, float x, float y, float z) {
    [[maybe_unused]] Scope scope;
    StoreRows(out, ScalingRows(B::Set(x, y, z, 1)));
    return out;
  }
  static MathMatrix* MatrixShadow(MathMatrix* out, const MathVec4* light, const MathPlane* plane) {
    [[maybe_unused]] Scope scope;
    const V p0 = B::Load(F(plane));
    const V p = NormalisedBy(p0, B::Dot3(p0, p0));
    const V l = B::Load(F(light));
    const V d = B::Splat(B::Dot4(p, l));
    const Rows id = IdentityRows();
    StoreRows(out, Rows{{B::Sub(B::Mul(d, id.r[0]), B::Mul(B::template Shuffle<0, 0, 0, 0>(p), l)),
                         B::Sub(B::Mul(d, id.r[1]), B::Mul(B::template Shuffle<1, 1, 1, 1>(p), l)),
                         B::Sub(B::Mul(d, id.r[2]), B::Mul(B::template Shuffle<2, 2, 2, 2>(p), l)),
                         B::Sub(B::Mul(d, id.r[3]), B::Mul(B::template Shuffle<3, 3, 3, 3>(p), l))}});
    return out;
  }
  static MathMatrix* MatrixReflect(MathMatrix* out, const MathPlane* plane) {
    [[maybe_unused]] Scope scope;
    const V p0 = B::Load(F(plane));
    const V p = NormalisedBy(p0, B::Dot3(p0, p0));
    const V n2 = B::ZeroW(B::Add(p, p));
    const Rows id = IdentityRows();
    StoreRows(out, Rows{{B::Sub(id.r[0], B::Mul(B::template Shuffle<0, 0, 0, 0>(p), n2)),
                         B::Sub(id.r[1], B::Mul(B::template Shuffle<1, 1, 1, 1>(p), n2)),
                         B::Sub(id.r[2], B::Mul(B::template Shuffle<2, 2, 2, 2>(p), n2)),
                         B::Sub(id.r[3], B::Mul(B::template Shuffle<3, 3, 3, 3>(p), n2))}});
    return out;
  }
  static MathQuat* QuatFromAxisAngle(MathQuat* out, const MathVec3* axis, float angle) {
    [[maybe_unused]] Scope scope;
    const V a = B::Load3(F(axis), 0.0f);
    const float k = B::InvSqrtOrZero(B::Dot4(a, a));
    const float s = B::Sin(angle * 0.5f), c = B::Cos(angle * 0.5f);
    B::Store(F(out), B::Add(B::Mul(a, B::Splat(k * s)), B::Set(0, 0, 0, c)));
    return out;
  }
  static MathMatrix* MatrixRotationX(MathMatrix* out, float angle) {
    [[maybe_unused]] Scope scope;
    const float c = B::Cos(angle), s = B::Sin(angle);
    StoreRows(out, Rows{{B::Set(1, 0, 0, 0), B::Set(0, c, s, 0), B::Set(0, -s, c, 0), B::Set(0, 0, 0, 1)}});
    return out;
  }
  static MathMatrix* MatrixRotationY(MathMatrix* out, float angle) {
    [[maybe_unused]] Scope scope;
    const float c = B::Cos(angle), s = B::Sin(angle);
    StoreRows(out, Rows{{B::Set(c, 0, -s, 0), B::Set(0, 1, 0, 0), B::Set(s, 0, c, 0), B::Set(0, 0, 0, 1)}});
    return out;
  }
  static MathMatrix* MatrixRotationZ(MathMatrix* out, float angle) {
    [[maybe_unused]] Scope scope;
    const float c = B::Cos(angle), s = B::Sin(angle);
    StoreRows(out, Rows{{B::Set(c, s, 0, 0), B::Set(-s, c, 0, 0), B::Set(0, 0, 1, 0), B::Set(0, 0, 0, 1)}});
    return out;
  }
  static MathPlane* PlaneTransform(MathPlane* out, const MathPlane* p, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), Times(B::Load(F(p)), LoadRows(m)));
    return out;
  }
  static MathQuat* QuatSlerp(MathQuat* out, const MathQuat* a, const MathQuat* b, float t) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), SlerpCore(B::Load(F(a)), B::Load(F(b)), t));
    return out;
  }
  static MathQuat* QuatBarycentric(MathQuat* out, const MathQuat* q1, const MathQuat* q2, const MathQuat* q3,
                                   float f, float g) {
    [[maybe_unused]] Scope scope;
    const float sum = f + g;
    const V a = B::Load(F(q1));
    if (sum == 0.0f) {
      B::Store(F(out), a);
      return out;
    }
    const V u = SlerpCore(a, B::Load(F(q2)), sum);
    const V v = SlerpCore(a, B::Load(F(q3)), sum);
    B::Store(F(out), SlerpCore(u, v, g / sum));
    return out;
  }
  static MathMatrix* MatrixTranspose(MathMatrix* out, const MathMatrix* m) {
    [[maybe_unused]] Scope scope;
    StoreRows(out, Transposed(LoadRows(m)));
    return out;
  }
  static MathMatrix* MatrixRotationQuat(MathMatrix* out, const MathQuat* q) {
    [[maybe_unused]] Scope scope;
    StoreRows(out, QuatRows(B::Load(F(q))));
    return out;
  }
  static MathMatrix* MatrixTransformation(MathMatrix* out, const MathVec3* scalingCentre,
                                          const MathQuat* scalingRotation, const MathVec3* scaling,
                                          const MathVec3* rotationCentre, const MathQuat* rotation,
                                          const MathVec3* translation) {
    [[maybe_unused]] Scope scope;
    const V sc = Vec3OrZero(scalingCentre);
    const V rc = Vec3OrZero(rotationCentre);
    const V s = scaling ? B::Load3(F(scaling), 1.0f) : B::Set(1, 1, 1, 1);
    const V t = Vec3OrZero(translation);
    const Rows sr = QuatRowsOrIdentity(scalingRotation);
    Rows m = TranslationRows(B::Sub(B::Zero(), sc));
    m = Product(m, Transposed(sr));
    m = Product(m, ScalingRows(s));
    m = Product(m, sr);
    m = Product(m, TranslationRows(B::Sub(sc, rc)));
    m = Product(m, QuatRowsOrIdentity(rotation));
    m = Product(m, TranslationRows(B::Add(rc, t)));
    StoreRows(out, m);
    return out;
  }
  static MathMatrix* MatrixRotationYawPitchRoll(MathMatrix* out, float yaw, float pitch, float roll) {
    [[maybe_unused]] Scope scope;
    const float cy = B::Cos(yaw), sy = B::Sin(yaw);
    const float cp = B::Cos(pitch), sp = B::Sin(pitch);
    const float cr = B::Cos(roll), sr = B::Sin(roll);
    const Rows z{{B::Set(cr, sr, 0, 0), B::Set(-sr, cr, 0, 0), B::Set(0, 0, 1, 0), B::Set(0, 0, 0, 1)}};
    const Rows x{{B::Set(1, 0, 0, 0), B::Set(0, cp, sp, 0), B::Set(0, -sp, cp, 0), B::Set(0, 0, 0, 1)}};
    const Rows y{{B::Set(cy, 0, -sy, 0), B::Set(0, 1, 0, 0), B::Set(sy, 0, cy, 0), B::Set(0, 0, 0, 1)}};
    StoreRows(out, Product(Product(z, x), y));
    return out;
  }
  static MathMatrix* MatrixAffineTransformation(MathMatrix* out, float scaling, const MathVec3* rotationCentre,
                                                const MathQuat* rotation, const MathVec3* translation) {
    [[maybe_unused]] Scope scope;
    const V rc = Vec3OrZero(rotationCentre);
    const V t = Vec3OrZero(translation);
    Rows m = ScalingRows(B::Set(scaling, scaling, scaling, 1));
    m = Product(m, TranslationRows(B::Sub(B::Zero(), rc)));
    m = Product(m, QuatRowsOrIdentity(rotation));
    m = Product(m, TranslationRows(B::Add(rc, t)));
    StoreRows(out, m);
    return out;
  }
  static MathMatrix* MatrixRotationAxis(MathMatrix* out, const MathVec3* axis, float angle) {
    [[maybe_unused]] Scope scope;
    const V a = B::Load3(F(axis), 0.0f);
    const V n = NormalisedBy(a, B::Dot4(a, a));
    const float c = B::Cos(angle), s = B::Sin(angle);
    const V k = B::Mul(n, B::Splat(1.0f - c));
    const V cs = B::Splat(c), ss = B::Splat(s);
    const Rows id = IdentityRows();
    const V skew0 = B::Mul(B::template Shuffle<3, 2, 1, 3>(n), B::Set(1, 1, -1, 1));
    const V skew1 = B::Mul(B::template Shuffle<2, 3, 0, 3>(n), B::Set(-1, 1, 1, 1));
    const V skew2 = B::Mul(B::template Shuffle<1, 0, 3, 3>(n), B::Set(1, -1, 1, 1));
    StoreRows(out, Rows{{B::Add(B::Add(B::Mul(B::template Shuffle<0, 0, 0, 0>(n), k), B::Mul(id.r[0], cs)),
                                B::Mul(skew0, ss)),
                         B::Add(B::Add(B::Mul(B::template Shuffle<1, 1, 1, 1>(n), k), B::Mul(id.r[1], cs)),
                                B::Mul(skew1, ss)),
                         B::Add(B::Add(B::Mul(B::template Shuffle<2, 2, 2, 2>(n), k), B::Mul(id.r[2], cs)),
                                B::Mul(skew2, ss)),
                         id.r[3]}});
    return out;
  }
  static MathQuat* QuatSquad(MathQuat* out, const MathQuat* q1, const MathQuat* a, const MathQuat* b,
                             const MathQuat* c, float t) {
    [[maybe_unused]] Scope scope;
    const V u = SlerpCore(B::Load(F(q1)), B::Load(F(c)), t);
    const V v = SlerpCore(B::Load(F(a)), B::Load(F(b)), t);
    B::Store(F(out), SlerpCore(u, v, 2.0f * t * (1.0f - t)));
    return out;
  }
  static MathQuat* QuatInverse(MathQuat* out, const MathQuat* q) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), QuatInverseCore(B::Load(F(q))));
    return out;
  }
  static V SquadControl(V centre, V previous, V next) {
    const V inverse = QuatInverseCore(centre);
    const V l1 = LogCore(Hamilton(inverse, next));
    const V l2 = LogCore(Hamilton(inverse, previous));
    return Hamilton(centre, ExpCore(B::Mul(B::Add(l1, l2), B::Splat(-0.25f))));
  }
  static void QuatSquadSetup(MathQuat* aOut, MathQuat* bOut, MathQuat* cOut, const MathQuat* q0,
                             const MathQuat* q1, const MathQuat* q2, const MathQuat* q3) {
    [[maybe_unused]] Scope scope;
    const V minus = B::Splat(-1.0f);
    const V p1 = B::Load(F(q1));
    V p0 = B::Load(F(q0));
    if (B::Dot4(p0, p1) < 0.0f) p0 = B::Mul(p0, minus);
    V p2 = B::Load(F(q2));
    if (B::Dot4(p1, p2) < 0.0f) p2 = B::Mul(p2, minus);
    V p3 = B::Load(F(q3));
    if (B::Dot4(p2, p3) < 0.0f) p3 = B::Mul(p3, minus);
    const V a = SquadControl(p1, p0, p2);
    const V b = SquadControl(p2, p1, p3);
    B::Store(F(aOut), a);
    B::Store(F(bOut), b);
    B::Store(F(cOut), p2);
  }
  static MathQuat* QuatLog(MathQuat* out, const MathQuat* q) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), LogCore(B::Load(F(q))));
    return out;
  }
  static MathQuat* QuatExp(MathQuat* out, const MathQuat* q) {
    [[maybe_unused]] Scope scope;
    B::Store(F(out), ExpCore(B::Load(F(q))));
    return out;
  }
};

// Puts the routine K::name into its slot.
#define STAGEHOST_MATH_PUT(table, K, name) PutMathRoutine<MathSlot::name>(table, &K::name)

}  // namespace
