#pragma once
// The framework's 3D types and the math library's value types share their
// layout (plain floats in the same order); these views let the demo hand one
// to the other without copying.
#include <type_traits>

#include "framework/MathTypes.h"
#include "mathlib/VectorMath.h"

static_assert(sizeof(CVector3) == sizeof(MathVec3) && std::is_standard_layout<CVector3>::value, "CVector3 layout");
static_assert(sizeof(CQuaternion) == sizeof(MathQuat), "CQuaternion layout");
static_assert(sizeof(CMatrix) == sizeof(MathMatrix), "CMatrix layout");

inline MathVec3* AsMath(CVector3* v) { return reinterpret_cast<MathVec3*>(v); }
inline const MathVec3* AsMath(const CVector3* v) { return reinterpret_cast<const MathVec3*>(v); }
inline MathQuat* AsMath(CQuaternion* q) { return reinterpret_cast<MathQuat*>(q); }
inline const MathQuat* AsMath(const CQuaternion* q) { return reinterpret_cast<const MathQuat*>(q); }
inline MathMatrix* AsMath(CMatrix* m) { return reinterpret_cast<MathMatrix*>(m); }
inline const MathMatrix* AsMath(const CMatrix* m) { return reinterpret_cast<const MathMatrix*>(m); }
