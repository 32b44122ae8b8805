// The hand-scheduled scalar routines of slots 0-7 (transforms, products,
// 3-vector normalisation). This file is compiled for the x87 unit
// (-mfpmath=387): every input is loaded before the first store, and the
// independent multiply chains of the four result components are written
// side by side so the stack machine can overlap them. Results are rounded to
// float only when stored.
#include <cmath>

#include "mathlib/MathTable.h"

namespace {

// (x, y, z, w) * m with the four columns interleaved.
inline void RowTimes(float x, float y, float z, float w, const float* m, float* out) {
  const float a0 = x * m[0], a1 = x * m[1], a2 = x * m[2], a3 = x * m[3];
  const float b0 = y * m[4], b1 = y * m[5], b2 = y * m[6], b3 = y * m[7];
  const float c0 = z * m[8], c1 = z * m[9], c2 = z * m[10], c3 = z * m[11];
  const float d0 = w * m[12], d1 = w * m[13], d2 = w * m[14], d3 = w * m[15];
  out[0] = (a0 + b0) + (c0 + d0);
  out[1] = (a1 + b1) + (c1 + d1);
  out[2] = (a2 + b2) + (c2 + d2);
  out[3] = (a3 + b3) + (c3 + d3);
}

MathVec4* Vec2Transform(MathVec4* out, const MathVec2* v, const MathMatrix* m) {
  const float* e = &m->m[0][0];
  const float x = v->x, y = v->y;
  const float r0 = x * e[0] + y * e[4] + e[12];
  const float r1 = x * e[1] + y * e[5] + e[13];
  const float r2 = x * e[2] + y * e[6] + e[14];
  const float r3 = x * e[3] + y * e[7] + e[15];
  *out = MathVec4{r0, r1, r2, r3};
  return out;
}

MathVec4* Vec3Transform(MathVec4* out, const MathVec3* v, const MathMatrix* m) {
  const float* e = &m->m[0][0];
  const float x = v->x, y = v->y, z = v->z;
  const float r0 = x * e[0] + y * e[4] + (z * e[8] + e[12]);
  const float r1 = x * e[1] + y * e[5] + (z * e[9] + e[13]);
  const float r2 = x * e[2] + y * e[6] + (z * e[10] + e[14]);
  const float r3 = x * e[3] + y * e[7] + (z * e[11] + e[15]);
  *out = MathVec4{r0, r1, r2, r3};
  return out;
}

MathVec4* Vec4Transform(MathVec4* out, const MathVec4* v, const MathMatrix* m) {
  float r[4];
  RowTimes(v->x, v->y, v->z, v->w, &m->m[0][0], r);
  *out = MathVec4{r[0], r[1], r[2], r[3]};
  return out;
}

MathMatrix* MatrixMultiply(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
  const float* e = &b->m[0][0];
  float r[16];
  for (int i = 0; i < 4; ++i) RowTimes(a->m[i][0], a->m[i][1], a->m[i][2], a->m[i][3], e, r + 4 * i);
  for (int i = 0; i < 16; ++i) (&out->m[0][0])[i] = r[i];
  return out;
}

MathMatrix* MatrixMultiplyTranspose(MathMatrix* out, const MathMatrix* a, const MathMatrix* b) {
  const float* e = &b->m[0][0];
  float r[16];
  for (int i = 0; i < 4; ++i) RowTimes(a->m[i][0], a->m[i][1], a->m[i][2], a->m[i][3], e, r + 4 * i);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) out->m[j][i] = r[4 * i + j];
  }
  return out;
}

MathVec2* Vec2TransformNormal(MathVec2* out, const MathVec2* v, const MathMatrix* m) {
  const float x = v->x, y = v->y;
  const float r0 = x * m->m[0][0] + y * m->m[1][0];
  const float r1 = x * m->m[0][1] + y * m->m[1][1];
  *out = MathVec2{r0, r1};
  return out;
}

MathVec3* Vec3TransformNormal(MathVec3* out, const MathVec3* v, const MathMatrix* m) {
  const float x = v->x, y = v->y, z = v->z;
  const float r0 = x * m->m[0][0] + y * m->m[1][0] + z * m->m[2][0];
  const float r1 = x * m->m[0][1] + y * m->m[1][1] + z * m->m[2][1];
  const float r2 = x * m->m[0][2] + y * m->m[1][2] + z * m->m[2][2];
  *out = MathVec3{r0, r1, r2};
  return out;
}

MathVec3* Vec3Normalise(MathVec3* out, const MathVec3* v) {
  const float x = v->x, y = v->y, z = v->z;
  const float len2 = x * x + y * y + z * z;
  const float k = len2 > 0.0f ? 1.0f / std::sqrt(len2) : 0.0f;
  *out = MathVec3{x * k, y * k, z * k};
  return out;
}

}  // namespace

void InstallScalarRoutines(MathRoutine* table) {
  PutMathRoutine<MathSlot::Vec2Transform>(table, &Vec2Transform);
  PutMathRoutine<MathSlot::Vec3Transform>(table, &Vec3Transform);
  PutMathRoutine<MathSlot::Vec4Transform>(table, &Vec4Transform);
  PutMathRoutine<MathSlot::MatrixMultiply>(table, &MatrixMultiply);
  PutMathRoutine<MathSlot::MatrixMultiplyTranspose>(table, &MatrixMultiplyTranspose);
  PutMathRoutine<MathSlot::Vec2TransformNormal>(table, &Vec2TransformNormal);
  PutMathRoutine<MathSlot::Vec3TransformNormal>(table, &Vec3TransformNormal);
  PutMathRoutine<MathSlot::Vec3Normalise>(table, &Vec3Normalise);
}
