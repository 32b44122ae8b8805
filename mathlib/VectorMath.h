// Public interface of the vector math library.
//
// Every operation has one public entry, Math<Operation>, whose only
// instruction jumps through the operation's slot of a process-wide routine
// table. The table is filled on the first call of any operation with the
// best routine set the processor and the operating system support (see
// InitMathTable). Arguments and results follow MathTypes.h: row vectors,
// row-major matrices, 32-bit floats, angles in radians. Outputs may alias
// inputs. Operations that can decline (a singular inverse, a line parallel
// to the plane) return a null pointer and leave the output untouched.
#pragma once

#include <cstdint>

#include "mathlib/MathOperations.h"

extern "C" {

#define STAGEHOST_MATH_DECLARE_ENTRY(slot, name, ret, params) ret Math##name params;
STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_DECLARE_ENTRY)
#undef STAGEHOST_MATH_DECLARE_ENTRY

}  // extern "C"

// Selection states returned by InitMathTable.
enum : std::uint32_t {
  kMathNotChosen = 0xFFFF,
  kMathPlainSet = 0,   // plain routines, hand-scheduled scalar code in slots 0-7
  kMathAmd3DNowSet = 1,
  kMathSse2Set = 2,
  kMathSseSet = 3,
};

// enable 1: choose the routine set unless already chosen; returns the state.
// enable 0: forget the choice (state kMathNotChosen) and put the plain
// routine into every slot; a later InitMathTable(1) chooses again.
std::uint32_t InitMathTable(std::uint32_t enable);
