// The plain routines: portable scalar code for every slot, the reference
// every processor-specific variant is measured against.
#pragma once

#include "mathlib/MathOperations.h"

namespace mathlib::plain {

#define STAGEHOST_MATH_DECLARE_PLAIN(slot, name, ret, params) ret name params;
STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_DECLARE_PLAIN)
#undef STAGEHOST_MATH_DECLARE_PLAIN

// Shared helpers of the plain files.
MathMatrix Identity();
// Hamilton product p (x) q.
MathQuat Hamilton(const MathQuat& p, const MathQuat& q);

}  // namespace mathlib::plain
