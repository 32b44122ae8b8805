// The SSE routine set: 33 slots on SSE1 instructions only (this file is
// built with -msse -mno-sse2, so it runs on a processor without SSE2).
#include "mathlib/MathTable.h"
#include "mathlib/SimdKernels.h"
#include "mathlib/SseBackend.h"

void InstallSseRoutines(MathRoutine* table) {
  using K = SimdKernels<SseBackend>;
  STAGEHOST_MATH_PUT(table, K, Vec2Transform);
  STAGEHOST_MATH_PUT(table, K, Vec3Transform);
  STAGEHOST_MATH_PUT(table, K, Vec4Transform);
  STAGEHOST_MATH_PUT(table, K, MatrixMultiply);
  STAGEHOST_MATH_PUT(table, K, MatrixMultiplyTranspose);
  STAGEHOST_MATH_PUT(table, K, Vec2TransformNormal);
  STAGEHOST_MATH_PUT(table, K, Vec3TransformNormal);
  STAGEHOST_MATH_PUT(table, K, Vec3Normalise);
  STAGEHOST_MATH_PUT(table, K, Vec4Normalise);
  STAGEHOST_MATH_PUT(table, K, Vec2TransformCoord);
  STAGEHOST_MATH_PUT(table, K, Vec3TransformCoord);
  STAGEHOST_MATH_PUT(table, K, MatrixDeterminant);
  STAGEHOST_MATH_PUT(table, K, PlaneFromPoints);
  STAGEHOST_MATH_PUT(table, K, Vec4Cross);
  STAGEHOST_MATH_PUT(table, K, Vec2Hermite);
  STAGEHOST_MATH_PUT(table, K, MatrixInverse);
  STAGEHOST_MATH_PUT(table, K, QuatMultiply);
  STAGEHOST_MATH_PUT(table, K, QuatNormalise);
  STAGEHOST_MATH_PUT(table, K, PlaneNormalise);
  STAGEHOST_MATH_PUT(table, K, PlaneIntersectLine);
  STAGEHOST_MATH_PUT(table, K, QuatFromRotationMatrix);
  STAGEHOST_MATH_PUT(table, K, QuatFromYawPitchRoll);
  STAGEHOST_MATH_PUT(table, K, MatrixShadow);
  STAGEHOST_MATH_PUT(table, K, MatrixReflect);
  STAGEHOST_MATH_PUT(table, K, QuatInverse);
  STAGEHOST_MATH_PUT(table, K, Vec2CatmullRom);
  STAGEHOST_MATH_PUT(table, K, Vec2Barycentric);
  STAGEHOST_MATH_PUT(table, K, Vec3Hermite);
  STAGEHOST_MATH_PUT(table, K, Vec3CatmullRom);
  STAGEHOST_MATH_PUT(table, K, Vec3Barycentric);
  STAGEHOST_MATH_PUT(table, K, Vec4Hermite);
  STAGEHOST_MATH_PUT(table, K, Vec4CatmullRom);
  STAGEHOST_MATH_PUT(table, K, Vec4Barycentric);
}
