// InitMathTable: the one-time choice of routine set. The choice waits for
// the first call of any operation, so a program that never uses the library
// never probes the processor.
#include <cstring>

#include "mathlib/CpuFeatures.h"
#include "mathlib/MathTable.h"
#include "mathlib/VectorMath.h"

namespace {

std::uint32_t g_mathState = kMathNotChosen;

void CopyPlainRoutines() {
  std::memcpy(g_mathRoutines, kPlainMathRoutines, sizeof g_mathRoutines);
}

// 1 when a switch asks for the plain routines. DisableMathCpuPaths, when
// present, overrides DisableCpuPaths; only the value 1 disables.
bool PlainRoutinesRequested() {
  std::uint32_t wanted = 0;
  std::uint32_t value = 0;
  if (ReadCpuPathSwitch("DisableCpuPaths", &value)) wanted = value;
  if (ReadCpuPathSwitch("DisableMathCpuPaths", &value)) wanted = value;
  return wanted == 1;
}

}  // namespace

void InstallRoutineSet(MathRoutine* table, const MathRoutineSet& set) {
#define STAGEHOST_MATH_SET_INSTALL(slot, name, ret, params) \
  if (set.name) PutMathRoutine<slot>(table, set.name);
  STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_SET_INSTALL)
#undef STAGEHOST_MATH_SET_INSTALL
}

void MathForgetChoice() { g_mathState = kMathNotChosen; }

std::uint32_t InitMathTable(std::uint32_t enable) {
  if (enable == 0) {
    g_mathState = kMathNotChosen;
    CopyPlainRoutines();
    return g_mathState;
  }
  if (g_mathState != kMathNotChosen) return g_mathState;

  g_mathState = kMathPlainSet;
  CopyPlainRoutines();
  InstallScalarRoutines(g_mathRoutines);
  if (PlainRoutinesRequested()) return g_mathState;

  // 3DNow! wins over SSE2 on a processor that has both.
  if (HasProcessorFeature(kFeatureAmd3DNow)) {
    InstallAmd3DNowRoutines(g_mathRoutines);
    g_mathState = kMathAmd3DNowSet;
  } else if (HasProcessorFeature(kFeatureSse2)) {
    InstallSse2Routines(g_mathRoutines);
    g_mathState = kMathSse2Set;
  } else if (HasProcessorFeature(kFeatureSse)) {
    InstallSseRoutines(g_mathRoutines);
    g_mathState = kMathSseSet;
  }
  return g_mathState;
}
