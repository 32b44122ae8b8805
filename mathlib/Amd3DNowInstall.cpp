// The 3DNow! installer, compiled without 3DNow! flags since it runs on any
// processor: it probes first and leaves the table alone unless both MMX and
// 3DNow! are there; the Athlon routines need the extended 3DNow! and the AMD
// MMX extensions as well.
#include "mathlib/CpuFeatures.h"
#include "mathlib/MathTable.h"



void InstallAmd3DNowRoutines(MathRoutine* table) {
  const std::uint32_t bits = Probe3DNow();
  if (!(bits & kProbeMmx) || !(bits & kProbe3DNow)) return;
  FillAmd3DNowRoutines(table);
  if ((bits & kProbe3DNowExt) && (bits & kProbeMmxExt)) InstallAthlonRoutines(table);
}
