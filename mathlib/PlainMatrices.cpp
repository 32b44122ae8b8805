// Plain matrix routines: products, determinant and inverse by cofactors,
// and the matrix builders (translation, scaling, rotations, shadow,
// reflection, composed transformations).
#include <cmath>

#include "mathlib/PlainRoutines.h"

namespace mathlib::plain {
namespace {

MathMatrix Product(const MathMatrix& a, const MathMatrix& b) {
  MathMatrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                  a.m[i][3] * b.m[3][j];
    }
  }
  return r;
}

MathMatrix Transposed(const MathMatrix& a) {
  MathMatrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r.m[i][j] = a.m[j][i];
  }
  return r;
}

// Cofactor matrix c (c[i][j] = signed minor of element (i, j)), built from
// the 2x2 minors of rows 0-1 and rows 2-3; returns the determinant.
float Cofactors(const MathMatrix& a, MathMatrix& c) {
  const float* r0 = a.m[0];
  const float* r1 = a.m[1];
  const float* r2 = a.m[2];
  const float* r3 = a.m[3];
  // s: minors of rows 2 and 3, t: minors of rows 0 and 1 (columns ij).
  const float s01 = r2[0] * r3[1] - r2[1] * r3[0], s02 = r2[0] * r3[2] - r2[2] * r3[0];
  const float s03 = r2[0] * r3[3] - r2[3] * r3[0], s12 = r2[1] * r3[2] - r2[2] * r3[1];
  const float s13 = r2[1] * r3[3] - r2[3] * r3[1], s23 = r2[2] * r3[3] - r2[3] * r3[2];
  const float t01 = r0[0] * r1[1] - r0[1] * r1[0], t02 = r0[0] * r1[2] - r0[2] * r1[0];
  const float t03 = r0[0] * r1[3] - r0[3] * r1[0], t12 = r0[1] * r1[2] - r0[2] * r1[1];
  const float t13 = r0[1] * r1[3] - r0[3] * r1[1], t23 = r0[2] * r1[3] - r0[3] * r1[2];

  c.m[0][0] = r1[1] * s23 - r1[2] * s13 + r1[3] * s12;
  c.m[0][1] = -(r1[0] * s23 - r1[2] * s03 + r1[3] * s02);
  c.m[0][2] = r1[0] * s13 - r1[1] * s03 + r1[3] * s01;
  c.m[0][3] = -(r1[0] * s12 - r1[1] * s02 + r1[2] * s01);
  c.m[1][0] = -(r0[1] * s23 - r0[2] * s13 + r0[3] * s12);
  c.m[1][1] = r0[0] * s23 - r0[2] * s03 + r0[3] * s02;
  c.m[1][2] = -(r0[0] * s13 - r0[1] * s03 + r0[3] * s01);
  c.m[1][3] = r0[0] * s12 - r0[1] * s02 + r0[2] * s01;
  c.m[2][0] = r3[1] * t23 - r3[2] * t13 + r3[3] * t12;
  c.m[2][1] = -(r3[0] * t23 - r3[2] * t03 + r3[3] * t02);
  c.m[2][2] = r3[0] * t13 - r3[1] * t03 + r3[3] * t01;
  c.m[2][3] = -(r3[0] * t12 - r3[1] * t02 + r3[2] * t01);
  c.m[3][0] = -(r2[1] * t23 - r2[2] * t13 + r2[3] * t12);
  c.m[3][1] = r2[0] * t23 - r2[2] * t03 + r2[3] * t02;
  c.m[3][2] = -(r2[0] * t13 - r2[1] * t03 + r2[3] * t01);
  c.m[3][3] = r2[0] * t12 - r2[1] * t02 + r2[2] * t01;

  return r0[0] * c.m[0][0] + r0[1] * c.m[0][1] + r0[2] * c.m[0][2] + r0[3] * c.m[0][3];
}

MathMatrix Translation(float x, float y, float z) {
  MathMatrix r = Identity();
  r.m[3][0] = x;
  r.m[3][1] = y;
  r.m[3][2] = z;
  return r;
}

MathMatrix Scaling(float x, float y, float z) {
  MathMatrix r = Identity();
  r.m[0][0] = x;
  r.m[1][1] = y;
  r.m[2][2] = z;
  return r;
}

MathMatrix RotationOf(const MathQuat* q) {
  MathMatrix r;
  if (q) {
    MatrixRotationQuat(&r, q);
  } else {
    r = Identity();
  }
  return r;
}

// The plane scaled so that its normal has unit length (zero stays zero).
MathPlane Normalised(const MathPlane& p) {
  MathPlane r;
  PlaneNormalise(&r, &p);
  return r;
}

}  // namespace

MathMatrix Identity() {
  MathMatrix r{};
  r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
  return r;
}

MathMatrix* MatrixMultiply(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
  *out = Product(*a, *b);
  return out;
}

MathMatrix* MatrixMultiplyTranspose(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
  *out = Transposed(Product(*a, *b));
  return out;
}

MathMatrix* MatrixTranspose(MathMatrix* out, const MathMatrix* m) {
  *out = Transposed(*m);
  return out;
}

float MatrixDeterminant(const MathMatrix* m) {
  MathMatrix c;
  return Cofactors(*m, c);
}

MathMatrix* MatrixInverse(MathMatrix* out, float* determinant, const MathMatrix* m) {
  MathMatrix c;
  const float det = Cofactors(*m, c);
  if (determinant) *determinant = det;
  const float inv = 1.0f / det;
  if (!std::isfinite(inv)) return nullptr;
  MathMatrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r.m[i][j] = c.m[j][i] * inv;
  }
  *out = r;
  return out;
}

MathMatrix* MatrixTranslation(MathMatrix* out, float x, float y, float z) {
  *out = Translation(x, y, z);
  return out;
}

MathMatrix* MatrixScaling(MathMatrix* out, float x, float y, float z) {
  *out = Scaling(x, y, z);
  return out;
}

MathMatrix* MatrixRotationX(MathMatrix* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  MathMatrix r = Identity();
  r.m[1][1] = c;
  r.m[1][2] = s;
  r.m[2][1] = -s;
  r.m[2][2] = c;
  *out = r;
  return out;
}

MathMatrix* MatrixRotationY(MathMatrix* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  MathMatrix r = Identity();
  r.m[0][0] = c;
  r.m[0][2] = -s;
  r.m[2][0] = s;
  r.m[2][2] = c;
  *out = r;
  return out;
}

MathMatrix* MatrixRotationZ(MathMatrix* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  MathMatrix r = Identity();
  r.m[0][0] = c;
  r.m[0][1] = s;
  r.m[1][0] = -s;
  r.m[1][1] = c;
  *out = r;
  return out;
}

// Roll about z first, then pitch about x, then yaw about y.
MathMatrix* MatrixRotationYawPitchRoll(MathMatrix* out, float yaw, float pitch, float roll) {
  MathMatrix x, y, z;
  MatrixRotationZ(&z, roll);
  MatrixRotationX(&x, pitch);
  MatrixRotationY(&y, yaw);
  *out = Product(Product(z, x), y);
  return out;
}

// The axis is normalised; a rotation by angle about it, as the quaternion of
// the same axis and angle gives.
MathMatrix* MatrixRotationAxis(MathMatrix* out, const MathVec3* axis, float angle) {
  MathVec3 n;
  Vec3Normalise(&n, axis);
  const float c = std::cos(angle), s = std::sin(angle), k = 1.0f - c;
  MathMatrix r = Identity();
  r.m[0][0] = k * n.x * n.x + c;
  r.m[0][1] = k * n.x * n.y + s * n.z;
  r.m[0][2] = k * n.x * n.z - s * n.y;
  r.m[1][0] = k * n.y * n.x - s * n.z;
  r.m[1][1] = k * n.y * n.y + c;
  r.m[1][2] = k * n.y * n.z + s * n.x;
  r.m[2][0] = k * n.z * n.x + s * n.y;
  r.m[2][1] = k * n.z * n.y - s * n.x;
  r.m[2][2] = k * n.z * n.z + c;
  *out = r;
  return out;
}

// The quaternion is not normalised first. Products with doubled components
// (x * 2y is exactly 2xy in binary floating point) save the doubling of
// each sum: nine products and twelve sums.
MathMatrix* MatrixRotationQuat(MathMatrix* out, const MathQuat* q) {
  const float x = q->x, y = q->y, z = q->z, w = q->w;
  const float x2 = x + x, y2 = y + y, z2 = z + z;
  const float xx = x * x2, yy = y * y2, zz = z * z2;
  const float xy = x * y2, xz = x * z2, yz = y * z2, xw = w * x2, yw = w * y2, zw = w * z2;
  MathMatrix r;
  r.m[0][0] = 1.0f - (yy + zz);
  r.m[0][1] = xy + zw;
  r.m[0][2] = xz - yw;
  r.m[0][3] = 0.0f;
  r.m[1][0] = xy - zw;
  r.m[1][1] = 1.0f - (xx + zz);
  r.m[1][2] = yz + xw;
  r.m[1][3] = 0.0f;
  r.m[2][0] = xz + yw;
  r.m[2][1] = yz - xw;
  r.m[2][2] = 1.0f - (xx + yy);
  r.m[2][3] = 0.0f;
  r.m[3][0] = r.m[3][1] = r.m[3][2] = 0.0f;
  r.m[3][3] = 1.0f;
  *out = r;
  return out;
}

// Flattens geometry onto the plane as seen from the light (w = 0: a
// directional light, w = 1: a point light).
MathMatrix* MatrixShadow(MathMatrix* out, const MathVec4* light, const MathPlane* plane) {
  const MathPlane p = Normalised(*plane);
  const float pr[4] = {p.a, p.b, p.c, p.d};
  const float l[4] = {light->x, light->y, light->z, light->w};
  const float d = pr[0] * l[0] + pr[1] * l[1] + pr[2] * l[2] + pr[3] * l[3];
  MathMatrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r.m[i][j] = (i == j ? d : 0.0f) - pr[i] * l[j];
  }
  *out = r;
  return out;
}

MathMatrix* MatrixReflect(MathMatrix* out, const MathPlane* plane) {
  const MathPlane p = Normalised(*plane);
  const float pr[4] = {p.a, p.b, p.c, p.d};
  const float n[4] = {p.a, p.b, p.c, 0.0f};
  MathMatrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r.m[i][j] = (i == j ? 1.0f : 0.0f) - 2.0f * pr[i] * n[j];
  }
  *out = r;
  return out;
}

// Scaling (oriented by scalingRotation, about scalingCentre), then rotation
// about rotationCentre, then translation. Null arguments stand for no
// change.
MathMatrix* MatrixTransformation(MathMatrix* out, const MathVec3* scalingCentre,
                                 const MathQuat* scalingRotation, const MathVec3* scaling,
                                 const MathVec3* rotationCentre, const MathQuat* rotation,
                                 const MathVec3* translation) {
  const MathVec3 sc = scalingCentre ? *scalingCentre : MathVec3{0, 0, 0};
  const MathVec3 rc = rotationCentre ? *rotationCentre : MathVec3{0, 0, 0};
  const MathVec3 s = scaling ? *scaling : MathVec3{1, 1, 1};
  const MathVec3 t = translation ? *translation : MathVec3{0, 0, 0};
  const MathMatrix sr = RotationOf(scalingRotation);
  MathMatrix m = Translation(-sc.x, -sc.y, -sc.z);
  m = Product(m, Transposed(sr));
  m = Product(m, Scaling(s.x, s.y, s.z));
  m = Product(m, sr);
  m = Product(m, Translation(sc.x - rc.x, sc.y - rc.y, sc.z - rc.z));
  m = Product(m, RotationOf(rotation));
  m = Product(m, Translation(rc.x + t.x, rc.y + t.y, rc.z + t.z));
  *out = m;
  return out;
}

MathMatrix* MatrixAffineTransformation(MathMatrix* out, float scaling,
                                       const MathVec3* rotationCentre, const MathQuat* rotation,
                                       const MathVec3* translation) {
  const MathVec3 rc = rotationCentre ? *rotationCentre : MathVec3{0, 0, 0};
  const MathVec3 t = translation ? *translation : MathVec3{0, 0, 0};
  MathMatrix m = Scaling(scaling, scaling, scaling);
  m = Product(m, Translation(-rc.x, -rc.y, -rc.z));
  m = Product(m, RotationOf(rotation));
  m = Product(m, Translation(rc.x + t.x, rc.y + t.y, rc.z + t.z));
  *out = m;
  return out;
}

}  // namespace mathlib::plain
