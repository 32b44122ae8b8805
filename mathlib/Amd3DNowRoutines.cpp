// The 3DNow! routine set: a routine of its own for all 57 slots, on the MMX
// registers (built with -m3dnow -mno-sse2 so that the MMX work stays in MMX
// registers). Reached only through InstallAmd3DNowRoutines, which checks the
// processor first: nothing here may run on a processor without 3DNow!.
#include "mathlib/Amd3DNowBackend.h"
#include "mathlib/MathTable.h"
#include "mathlib/SimdKernels.h"

void FillAmd3DNowRoutines(MathRoutine* table) {
#if STAGEHOST_MATH_HAS_3DNOW
  using K = SimdKernels<Amd3DNowBackend>;
#define STAGEHOST_MATH_PUT_3DNOW(slot, name, ret, params) STAGEHOST_MATH_PUT(table, K, name);
  STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_PUT_3DNOW)
#undef STAGEHOST_MATH_PUT_3DNOW
#else
  (void)table;  // built without the set (see Amd3DNowBackend.h): nothing to put
#endif
}
