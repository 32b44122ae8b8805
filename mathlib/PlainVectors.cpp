// Plain vector routines: transforms, normalisation, the 4-D cross product
// and the Hermite, Catmull-Rom and barycentric interpolations.
#include <cmath>

#include "mathlib/PlainRoutines.h"

namespace mathlib::plain {
namespace {

// Row vector (x, y, z, w) times m.
MathVec4 Times(float x, float y, float z, float w, const MathMatrix& m) {
  MathVec4 r;
  r.x = x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + w * m.m[3][0];
  r.y = x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + w * m.m[3][1];
  r.z = x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + w * m.m[3][2];
  r.w = x * m.m[0][3] + y * m.m[1][3] + z * m.m[2][3] + w * m.m[3][3];
  return r;
}

// 1/sqrt(lengthSquared), or 0 for a zero vector so that it stays zero.
float InverseLength(float lengthSquared) {
  return lengthSquared > 0.0f ? 1.0f / std::sqrt(lengthSquared) : 0.0f;
}

struct HermiteWeights {
  float p1, t1, p2, t2;
};
HermiteWeights Hermite(float s) {
  const float s2 = s * s, s3 = s2 * s;
  return {2.0f * s3 - 3.0f * s2 + 1.0f, s3 - 2.0f * s2 + s, -2.0f * s3 + 3.0f * s2, s3 - s2};
}

struct CatmullRomWeights {
  float p0, p1, p2, p3;
};
CatmullRomWeights CatmullRom(float s) {
  const float s2 = s * s, s3 = s2 * s;
  return {0.5f * (-s3 + 2.0f * s2 - s), 0.5f * (3.0f * s3 - 5.0f * s2 + 2.0f),
          0.5f * (-3.0f * s3 + 4.0f * s2 + s), 0.5f * (s3 - s2)};
}

}  // namespace

MathVec4* Vec2Transform(MathVec4* out, const MathVec2* v, const MathMatrix* m) {
  *out = Times(v->x, v->y, 0.0f, 1.0f, *m);
  return out;
}

MathVec4* Vec3Transform(MathVec4* out, const MathVec3* v, const MathMatrix* m) {
  *out = Times(v->x, v->y, v->z, 1.0f, *m);
  return out;
}

MathVec4* Vec4Transform(MathVec4* out, const MathVec4* v, const MathMatrix* m) {
  *out = Times(v->x, v->y, v->z, v->w, *m);
  return out;
}

MathVec2* Vec2TransformNormal(MathVec2* out, const MathVec2* v, const MathMatrix* m) {
  const MathVec4 r = Times(v->x, v->y, 0.0f, 0.0f, *m);
  *out = MathVec2{r.x, r.y};
  return out;
}

MathVec3* Vec3TransformNormal(MathVec3* out, const MathVec3* v, const MathMatrix* m) {
  const MathVec4 r = Times(v->x, v->y, v->z, 0.0f, *m);
  *out = MathVec3{r.x, r.y, r.z};
  return out;
}

MathVec2* Vec2TransformCoord(MathVec2* out, const MathVec2* v, const MathMatrix* m) {
  const MathVec4 r = Times(v->x, v->y, 0.0f, 1.0f, *m);
  const float inv = 1.0f / r.w;
  *out = MathVec2{r.x * inv, r.y * inv};
  return out;
}

MathVec3* Vec3TransformCoord(MathVec3* out, const MathVec3* v, const MathMatrix* m) {
  const MathVec4 r = Times(v->x, v->y, v->z, 1.0f, *m);
  const float inv = 1.0f / r.w;
  *out = MathVec3{r.x * inv, r.y * inv, r.z * inv};
  return out;
}

MathVec2* Vec2Normalise(MathVec2* out, const MathVec2* v) {
  const float k = InverseLength(v->x * v->x + v->y * v->y);
  *out = MathVec2{v->x * k, v->y * k};
  return out;
}

MathVec3* Vec3Normalise(MathVec3* out, const MathVec3* v) {
  const float k = InverseLength(v->x * v->x + v->y * v->y + v->z * v->z);
  *out = MathVec3{v->x * k, v->y * k, v->z * k};
  return out;
}

// Also serves slot 20: a quaternion normalises like a 4-vector.
MathVec4* Vec4Normalise(MathVec4* out, const MathVec4* v) {
  const float k = InverseLength(v->x * v->x + v->y * v->y + v->z * v->z + v->w * v->w);
  *out = MathVec4{v->x * k, v->y * k, v->z * k, v->w * k};
  return out;
}

MathQuat* QuatNormalise(MathQuat* out, const MathQuat* q) {
  return reinterpret_cast<MathQuat*>(
      Vec4Normalise(reinterpret_cast<MathVec4*>(out), reinterpret_cast<const MathVec4*>(q)));
}

MathVec4* Vec4Cross(MathVec4* out, const MathVec4* a, const MathVec4* b, const MathVec4* c) {
  // 2x2 minors of the rows b and c.
  const float zw = b->z * c->w - b->w * c->z;
  const float yw = b->y * c->w - b->w * c->y;
  const float yz = b->y * c->z - b->z * c->y;
  const float xw = b->x * c->w - b->w * c->x;
  const float xz = b->x * c->z - b->z * c->x;
  const float xy = b->x * c->y - b->y * c->x;
  *out = MathVec4{a->y * zw - a->z * yw + a->w * yz, -(a->x * zw - a->z * xw + a->w * xz),
                  a->x * yw - a->y * xw + a->w * xy, -(a->x * yz - a->y * xz + a->z * xy)};
  return out;
}

MathVec2* Vec2Hermite(MathVec2* out, const MathVec2* p1, const MathVec2* t1, const MathVec2* p2,
                      const MathVec2* t2, float s) {
  const HermiteWeights h = Hermite(s);
  *out = MathVec2{h.p1 * p1->x + h.t1 * t1->x + h.p2 * p2->x + h.t2 * t2->x,
                  h.p1 * p1->y + h.t1 * t1->y + h.p2 * p2->y + h.t2 * t2->y};
  return out;
}

MathVec3* Vec3Hermite(MathVec3* out, const MathVec3* p1, const MathVec3* t1, const MathVec3* p2,
                      const MathVec3* t2, float s) {
  const HermiteWeights h = Hermite(s);
  *out = MathVec3{h.p1 * p1->x + h.t1 * t1->x + h.p2 * p2->x + h.t2 * t2->x,
                  h.p1 * p1->y + h.t1 * t1->y + h.p2 * p2->y + h.t2 * t2->y,
                  h.p1 * p1->z + h.t1 * t1->z + h.p2 * p2->z + h.t2 * t2->z};
  return out;
}

MathVec4* Vec4Hermite(MathVec4* out, const MathVec4* p1, const MathVec4* t1, const MathVec4* p2,
                      const MathVec4* t2, float s) {
  const HermiteWeights h = Hermite(s);
  *out = MathVec4{h.p1 * p1->x + h.t1 * t1->x + h.p2 * p2->x + h.t2 * t2->x,
                  h.p1 * p1->y + h.t1 * t1->y + h.p2 * p2->y + h.t2 * t2->y,
                  h.p1 * p1->z + h.t1 * t1->z + h.p2 * p2->z + h.t2 * t2->z,
                  h.p1 * p1->w + h.t1 * t1->w + h.p2 * p2->w + h.t2 * t2->w};
  return out;
}

MathVec2* Vec2CatmullRom(MathVec2* out, const MathVec2* p0, const MathVec2* p1, const MathVec2* p2,
                         const MathVec2* p3, float s) {
  const CatmullRomWeights k = CatmullRom(s);
  *out = MathVec2{k.p0 * p0->x + k.p1 * p1->x + k.p2 * p2->x + k.p3 * p3->x,
                  k.p0 * p0->y + k.p1 * p1->y + k.p2 * p2->y + k.p3 * p3->y};
  return out;
}

MathVec3* Vec3CatmullRom(MathVec3* out, const MathVec3* p0, const MathVec3* p1, const MathVec3* p2,
                         const MathVec3* p3, float s) {
  const CatmullRomWeights k = CatmullRom(s);
  *out = MathVec3{k.p0 * p0->x + k.p1 * p1->x + k.p2 * p2->x + k.p3 * p3->x,
                  k.p0 * p0->y + k.p1 * p1->y + k.p2 * p2->y + k.p3 * p3->y,
                  k.p0 * p0->z + k.p1 * p1->z + k.p2 * p2->z + k.p3 * p3->z};
  return out;
}

MathVec4* Vec4CatmullRom(MathVec4* out, const MathVec4* p0, const MathVec4* p1, const MathVec4* p2,
                         const MathVec4* p3, float s) {
  const CatmullRomWeights k = CatmullRom(s);
  *out = MathVec4{k.p0 * p0->x + k.p1 * p1->x + k.p2 * p2->x + k.p3 * p3->x,
                  k.p0 * p0->y + k.p1 * p1->y + k.p2 * p2->y + k.p3 * p3->y,
                  k.p0 * p0->z + k.p1 * p1->z + k.p2 * p2->z + k.p3 * p3->z,
                  k.p0 * p0->w + k.p1 * p1->w + k.p2 * p2->w + k.p3 * p3->w};
  return out;
}

MathVec2* Vec2Barycentric(MathVec2* out, const MathVec2* v1, const MathVec2* v2, const MathVec2* v3,
                          float f, float g) {
  *out = MathVec2{v1->x + f * (v2->x - v1->x) + g * (v3->x - v1->x),
                  v1->y + f * (v2->y - v1->y) + g * (v3->y - v1->y)};
  return out;
}

MathVec3* Vec3Barycentric(MathVec3* out, const MathVec3* v1, const MathVec3* v2, const MathVec3* v3,
                          float f, float g) {
  *out = MathVec3{v1->x + f * (v2->x - v1->x) + g * (v3->x - v1->x),
                  v1->y + f * (v2->y - v1->y) + g * (v3->y - v1->y),
                  v1->z + f * (v2->z - v1->z) + g * (v3->z - v1->z)};
  return out;
}

MathVec4* Vec4Barycentric(MathVec4* out, const MathVec4* v1, const MathVec4* v2, const MathVec4* v3,
                          float f, float g) {
  *out = MathVec4{v1->x + f * (v2->x - v1->x) + g * (v3->x - v1->x),
                  v1->y + f * (v2->y - v1->y) + g * (v3->y - v1->y),
                  v1->z + f * (v2->z - v1->z) + g * (v3->z - v1->z),
                  v1->w + f * (v2->w - v1->w) + g * (v3->w - v1->w)};
  return out;
}

}  // namespace mathlib::plain
