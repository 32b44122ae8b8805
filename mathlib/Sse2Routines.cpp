// The SSE2 set as SSE2 instructions (-msse2), and the installers of both
// forms of the set: the VEX-encoded build when the processor and the system
// run it, this one otherwise. The installers only copy pointers, so they
// run on any processor.
#include "mathlib/CpuFeatures.h"
#include "mathlib/Sse2RoutineSet.h"

namespace {
constexpr MathRoutineSet kSse2LegacyRoutineSet = Sse2RoutineSet();
}  // namespace

void InstallSse2LegacyRoutines(MathRoutine* table) { InstallRoutineSet(table, kSse2LegacyRoutineSet); }

#if STAGEHOST_MATH_VEX
void InstallSse2VexRoutines(MathRoutine* table) { InstallRoutineSet(table, kSse2VexRoutineSet); }
#endif

void InstallSse2Routines(MathRoutine* table) {
#if STAGEHOST_MATH_VEX
  if (HasVexFloatUnit()) {
    InstallSse2VexRoutines(table);
    return;
  }
#endif
  InstallSse2LegacyRoutines(table);
}
