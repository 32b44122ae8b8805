// The Athlon routines of slots 15, 18, 24, 38 and 39: the 3DNow! code with
// the extended 3DNow! swap (pswapd) and the AMD MMX-extension word shuffle
// (pshufw) for lane moves (built with -m3dnowa -mno-sse2).
#include "mathlib/Amd3DNowBackend.h"
#include "mathlib/MathTable.h"
#include "mathlib/SimdKernels.h"

void InstallAthlonRoutines(MathRoutine* table) {
#if STAGEHOST_MATH_HAS_3DNOW
  using K = SimdKernels<Amd3DNowBackend>;
  STAGEHOST_MATH_PUT(table, K, Vec3Unproject);
  STAGEHOST_MATH_PUT(table, K, MatrixInverse);
  STAGEHOST_MATH_PUT(table, K, QuatFromRotationMatrix);
  STAGEHOST_MATH_PUT(table, K, MatrixRotationQuat);
  STAGEHOST_MATH_PUT(table, K, MatrixTransformation);
#else
  (void)table;  // built without the set (see Amd3DNowBackend.h): nothing to put
#endif
}
