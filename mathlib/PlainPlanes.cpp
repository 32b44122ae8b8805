// Plain plane routines and the screen projection of points.
#include <cmath>

#include "mathlib/PlainRoutines.h"

namespace mathlib::plain {
namespace {

// world * view * projection, a null matrix standing for the identity.
MathMatrix Combined(const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world) {
  MathMatrix m = world ? *world : Identity();
  if (view) MatrixMultiply(&m, &m, view);
  if (projection) MatrixMultiply(&m, &m, projection);
  return m;
}

}  // namespace

MathPlane* PlaneFromPointNormal(MathPlane* out, const MathVec3* point, const MathVec3* normal) {
  const MathVec3 n = *normal;
  *out = MathPlane{n.x, n.y, n.z, -(point->x * n.x + point->y * n.y + point->z * n.z)};
  return out;
}

// The normal is cross(b - a, c - a), normalised.
MathPlane* PlaneFromPoints(MathPlane* out, const MathVec3* a, const MathVec3* b, const MathVec3* c) {
  const MathVec3 u{b->x - a->x, b->y - a->y, b->z - a->z};
  const MathVec3 v{c->x - a->x, c->y - a->y, c->z - a->z};
  MathVec3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
  Vec3Normalise(&n, &n);
  return PlaneFromPointNormal(out, a, &n);
}

MathPlane* PlaneNormalise(MathPlane* out, const MathPlane* p) {
  const float len2 = p->a * p->a + p->b * p->b + p->c * p->c;
  const float k = len2 > 0.0f ? 1.0f / std::sqrt(len2) : 0.0f;
  *out = MathPlane{p->a * k, p->b * k, p->c * k, p->d * k};
  return out;
}

// The point where the line through a and b meets the plane; null when the
// line runs parallel to it.
MathVec3* PlaneIntersectLine(MathVec3* out, const MathPlane* p, const MathVec3* a, const MathVec3* b) {
  const MathVec3 d{b->x - a->x, b->y - a->y, b->z - a->z};
  const float denominator = p->a * d.x + p->b * d.y + p->c * d.z;
  if (denominator == 0.0f) return nullptr;
  const float t = -(p->a * a->x + p->b * a->y + p->c * a->z + p->d) / denominator;
  *out = MathVec3{a->x + t * d.x, a->y + t * d.y, a->z + t * d.z};
  return out;
}

// The plane as a row vector times m (pass the inverse transpose of a point
// transform to move a plane with the points).
MathPlane* PlaneTransform(MathPlane* out, const MathPlane* p, const MathMatrix* m) {
  MathVec4 r;
  const MathVec4 v{p->a, p->b, p->c, p->d};
  Vec4Transform(&r, &v, m);
  *out = MathPlane{r.x, r.y, r.z, r.w};
  return out;
}

// Screen x grows to the right, y downwards; depth maps to minZ..maxZ.
MathVec3* Vec3Project(MathVec3* out, const MathVec3* v, const MathViewport* viewport,
                      const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world) {
  const MathMatrix m = Combined(projection, view, world);
  MathVec3 p;
  Vec3TransformCoord(&p, v, &m);
  if (viewport) {
    const float w = static_cast<float>(viewport->width), h = static_cast<float>(viewport->height);
    p.x = static_cast<float>(viewport->x) + (1.0f + p.x) * w * 0.5f;
    p.y = static_cast<float>(viewport->y) + (1.0f - p.y) * h * 0.5f;
    p.z = viewport->minZ + p.z * (viewport->maxZ - viewport->minZ);
  }
  *out = p;
  return out;
}

// The inverse of Vec3Project; null when the matrices have no inverse.
MathVec3* Vec3Unproject(MathVec3* out, const MathVec3* v, const MathViewport* viewport,
                        const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world) {
  MathMatrix m = Combined(projection, view, world);
  if (!MatrixInverse(&m, nullptr, &m)) return nullptr;
  MathVec3 p = *v;
  if (viewport) {
    const float w = static_cast<float>(viewport->width), h = static_cast<float>(viewport->height);
    p.x = (p.x - static_cast<float>(viewport->x)) * 2.0f / w - 1.0f;
    p.y = 1.0f - (p.y - static_cast<float>(viewport->y)) * 2.0f / h;
    p.z = (p.z - viewport->minZ) / (viewport->maxZ - viewport->minZ);
  }
  Vec3TransformCoord(out, &p, &m);
  return out;
}

}  // namespace mathlib::plain
