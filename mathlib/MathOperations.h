// The list of every routine-table slot: slot number, operation name (the
// public entry is "Math" + name), result type and parameter list. The slot
// order is fixed; everything that depends on it (entries, first-call stubs,
// the default table, the set installers) is generated from this one list.
#pragma once

#include "mathlib/MathTypes.h"

#define STAGEHOST_MATH_OPERATIONS(X) \
  X(0, Vec2Transform, MathVec4*, (MathVec4* out, const MathVec2* v, const MathMatrix* m)) \
  X(1, Vec3Transform, MathVec4*, (MathVec4* out, const MathVec3* v, const MathMatrix* m)) \
  X(2, Vec4Transform, MathVec4*, (MathVec4* out, const MathVec4* v, const MathMatrix* m)) \
  X(3, MatrixMultiply, MathMatrix*, (MathMatrix* out, const MathMatrix* a, const MathMatrix* b)) \
  X(4, MatrixMultiplyTranspose, MathMatrix*, (MathMatrix* out, const MathMatrix* a, const MathMatrix* b)) \
  X(5, Vec2TransformNormal, MathVec2*, (MathVec2* out, const MathVec2* v, const MathMatrix* m)) \
  X(6, Vec3TransformNormal, MathVec3*, (MathVec3* out, const MathVec3* v, const MathMatrix* m)) \
  X(7, Vec3Normalise, MathVec3*, (MathVec3* out, const MathVec3* v)) \
  X(8, Vec4Normalise, MathVec4*, (MathVec4* out, const MathVec4* v)) \
  X(9, Vec2TransformCoord, MathVec2*, (MathVec2* out, const MathVec2* v, const MathMatrix* m)) \
  X(10, Vec3TransformCoord, MathVec3*, (MathVec3* out, const MathVec3* v, const MathMatrix* m)) \
  X(11, MatrixDeterminant, float, (const MathMatrix* m)) \
  X(12, PlaneFromPointNormal, MathPlane*, (MathPlane* out, const MathVec3* point, const MathVec3* normal)) \
  X(13, PlaneFromPoints, MathPlane*, (MathPlane* out, const MathVec3* a, const MathVec3* b, const MathVec3* c)) \
  X(14, Vec3Project, MathVec3*, (MathVec3* out, const MathVec3* v, const MathViewport* viewport, const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world)) \
  X(15, Vec3Unproject, MathVec3*, (MathVec3* out, const MathVec3* v, const MathViewport* viewport, const MathMatrix* projection, const MathMatrix* view, const MathMatrix* world)) \
  X(16, Vec4Cross, MathVec4*, (MathVec4* out, const MathVec4* a, const MathVec4* b, const MathVec4* c)) \
  X(17, Vec2Hermite, MathVec2*, (MathVec2* out, const MathVec2* p1, const MathVec2* t1, const MathVec2* p2, const MathVec2* t2, float s)) \
  X(18, MatrixInverse, MathMatrix*, (MathMatrix* out, float* determinant, const MathMatrix* m)) \
  X(19, QuatMultiply, MathQuat*, (MathQuat* out, const MathQuat* a, const MathQuat* b)) \
  X(20, QuatNormalise, MathQuat*, (MathQuat* out, const MathQuat* q)) \
  X(21, PlaneNormalise, MathPlane*, (MathPlane* out, const MathPlane* p)) \
  X(22, PlaneIntersectLine, MathVec3*, (MathVec3* out, const MathPlane* p, const MathVec3* a, const MathVec3* b)) \
  X(23, QuatToAxisAngle, void, (const MathQuat* q, MathVec3* axis, float* angle)) \
  X(24, QuatFromRotationMatrix, MathQuat*, (MathQuat* out, const MathMatrix* m)) \
  X(25, QuatFromYawPitchRoll, MathQuat*, (MathQuat* out, float yaw, float pitch, float roll)) \
  X(26, MatrixTranslation, MathMatrix*, (MathMatrix* out, float x, float y, float z)) \
  X(27, MatrixShadow, MathMatrix*, (MathMatrix* out, const MathVec4* light, const MathPlane* plane)) \
  X(28, MatrixReflect, MathMatrix*, (MathMatrix* out, const MathPlane* plane)) \
  X(29, QuatFromAxisAngle, MathQuat*, (MathQuat* out, const MathVec3* axis, float angle)) \
  X(30, MatrixRotationX, MathMatrix*, (MathMatrix* out, float angle)) \
  X(31, MatrixRotationY, MathMatrix*, (MathMatrix* out, float angle)) \
  X(32, MatrixRotationZ, MathMatrix*, (MathMatrix* out, float angle)) \
  X(33, MatrixScaling, MathMatrix*, (MathMatrix* out, float x, float y, float z)) \
  X(34, PlaneTransform, MathPlane*, (MathPlane* out, const MathPlane* p, const MathMatrix* m)) \
  X(35, QuatSlerp, MathQuat*, (MathQuat* out, const MathQuat* a, const MathQuat* b, float t)) \
  X(36, QuatBarycentric, MathQuat*, (MathQuat* out, const MathQuat* q1, const MathQuat* q2, const MathQuat* q3, float f, float g)) \
  X(37, MatrixTranspose, MathMatrix*, (MathMatrix* out, const MathMatrix* m)) \
  X(38, MatrixRotationQuat, MathMatrix*, (MathMatrix* out, const MathQuat* q)) \
  X(39, MatrixTransformation, MathMatrix*, (MathMatrix* out, const MathVec3* scalingCentre, const MathQuat* scalingRotation, const MathVec3* scaling, const MathVec3* rotationCentre, const MathQuat* rotation, const MathVec3* translation)) \
  X(40, MatrixRotationYawPitchRoll, MathMatrix*, (MathMatrix* out, float yaw, float pitch, float roll)) \
  X(41, MatrixAffineTransformation, MathMatrix*, (MathMatrix* out, float scaling, const MathVec3* rotationCentre, const MathQuat* rotation, const MathVec3* translation)) \
  X(42, MatrixRotationAxis, MathMatrix*, (MathMatrix* out, const MathVec3* axis, float angle)) \
  X(43, QuatSquad, MathQuat*, (MathQuat* out, const MathQuat* q1, const MathQuat* a, const MathQuat* b, const MathQuat* c, float t)) \
  X(44, QuatInverse, MathQuat*, (MathQuat* out, const MathQuat* q)) \
  X(45, QuatSquadSetup, void, (MathQuat* aOut, MathQuat* bOut, MathQuat* cOut, const MathQuat* q0, const MathQuat* q1, const MathQuat* q2, const MathQuat* q3)) \
  X(46, Vec2Normalise, MathVec2*, (MathVec2* out, const MathVec2* v)) \
  X(47, Vec2CatmullRom, MathVec2*, (MathVec2* out, const MathVec2* p0, const MathVec2* p1, const MathVec2* p2, const MathVec2* p3, float s)) \
  X(48, Vec2Barycentric, MathVec2*, (MathVec2* out, const MathVec2* v1, const MathVec2* v2, const MathVec2* v3, float f, float g)) \
  X(49, Vec3Hermite, MathVec3*, (MathVec3* out, const MathVec3* p1, const MathVec3* t1, const MathVec3* p2, const MathVec3* t2, float s)) \
  X(50, Vec3CatmullRom, MathVec3*, (MathVec3* out, const MathVec3* p0, const MathVec3* p1, const MathVec3* p2, const MathVec3* p3, float s)) \
  X(51, Vec3Barycentric, MathVec3*, (MathVec3* out, const MathVec3* v1, const MathVec3* v2, const MathVec3* v3, float f, float g)) \
  X(52, Vec4Hermite, MathVec4*, (MathVec4* out, const MathVec4* p1, const MathVec4* t1, const MathVec4* p2, const MathVec4* t2, float s)) \
  X(53, Vec4CatmullRom, MathVec4*, (MathVec4* out, const MathVec4* p0, const MathVec4* p1, const MathVec4* p2, const MathVec4* p3, float s)) \
  X(54, Vec4Barycentric, MathVec4*, (MathVec4* out, const MathVec4* v1, const MathVec4* v2, const MathVec4* v3, float f, float g)) \
  X(55, QuatLog, MathQuat*, (MathQuat* out, const MathQuat* q)) \
  X(56, QuatExp, MathQuat*, (MathQuat* out, const MathQuat* q))

// Slot numbers by operation name: MathSlot::QuatSlerp == 35.
namespace MathSlot {
enum : int {
#define STAGEHOST_MATH_SLOT_ENUM(slot, name, ret, params) name = slot,
  STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_SLOT_ENUM)
#undef STAGEHOST_MATH_SLOT_ENUM
  Count
};
}  // namespace MathSlot
static_assert(MathSlot::Count == 57, "the routine table has 57 slots");
