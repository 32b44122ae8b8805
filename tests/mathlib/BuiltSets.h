// Which optional routine sets this build carries. A compiler without usable
// 3DNow! support builds the 3DNow! and Athlon set files as fill functions
// that leave a table alone (mathlib/Amd3DNowBackend.h); the tests that need
// those routines skip there.
#pragma once

#include "mathlib/MathTable.h"

inline bool BuildBringsRoutines(void (*install)(MathRoutine*)) {
  MathRoutine table[MathSlot::Count] = {};
  install(table);
  for (MathRoutine r : table) {
    if (r) return true;
  }
  return false;
}

inline bool Amd3DNowRoutinesBuilt() { return BuildBringsRoutines(&FillAmd3DNowRoutines); }
inline bool AthlonRoutinesBuilt() { return BuildBringsRoutines(&InstallAthlonRoutines); }
