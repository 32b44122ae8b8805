// The routine table behind the public entries, and the helpers the routine
// sets use to fill it with correctly typed routines.
#pragma once

#include <cstdint>

#include "mathlib/MathOperations.h"

// A slot holds the address of a routine of the slot's own type; the table
// stores them untyped and every user casts back through MathSlotType.
using MathRoutine = void (*)();

extern "C" {
// Process-wide and writable; the public entries jump through it.
#ifdef _WIN32  // PE/COFF knows no symbol visibility
extern MathRoutine g_mathRoutines[MathSlot::Count];
#else
extern MathRoutine g_mathRoutines[MathSlot::Count] __attribute__((visibility("hidden")));
#endif
}

// MathSlotType<N>::Fn is the function type of slot N.
template <int Slot>
struct MathSlotType;
#define STAGEHOST_MATH_SLOT_TYPE(slot, name, ret, params) \
  template <>                                             \
  struct MathSlotType<slot> {                             \
    using Fn = ret params;                                \
  };
STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_SLOT_TYPE)
#undef STAGEHOST_MATH_SLOT_TYPE

// Stores a routine into a table; the compiler checks its type.
template <int Slot>
inline void PutMathRoutine(MathRoutine* table, typename MathSlotType<Slot>::Fn* routine) {
  table[Slot] = reinterpret_cast<MathRoutine>(routine);
}

// The routine a table holds for a slot, typed.
template <int Slot>
inline typename MathSlotType<Slot>::Fn* GetMathRoutine(const MathRoutine* table) {
  return reinterpret_cast<typename MathSlotType<Slot>::Fn*>(table[Slot]);
}

// A routine set as data: one typed routine per slot, null where the set
// brings none.
struct MathRoutineSet {
#define STAGEHOST_MATH_SET_MEMBER(slot, name, ret, params) ret(*name) params = nullptr;
  STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_SET_MEMBER)
#undef STAGEHOST_MATH_SET_MEMBER
};

// Copies a set's routines into a table; slots the set has none for keep
// what they hold.
void InstallRoutineSet(MathRoutine* table, const MathRoutineSet& set);

// The constant table of plain routines, in slot order.
extern const MathRoutine kPlainMathRoutines[MathSlot::Count];

// Set installers. Each overwrites only the slots its set brings a routine
// for. The 3DNow! installer checks the processor itself, leaves the table
// alone when 3DNow! or MMX is missing, and adds the Athlon routines when the
// extended 3DNow! and the AMD MMX extensions are present.
void InstallScalarRoutines(MathRoutine* table);    // slots 0-7
void InstallSseRoutines(MathRoutine* table);       // 33 slots
void InstallSse2Routines(MathRoutine* table);      // 34 slots, in the form below
                                                   // that the processor runs best
void InstallAmd3DNowRoutines(MathRoutine* table);  // all 57 (+ Athlon)
void InstallAthlonRoutines(MathRoutine* table);    // slots 15, 18, 24, 38, 39

// The two forms of the SSE2 set: SSE2 instructions, and (where
// STAGEHOST_MATH_VEX is 1) the same routines VEX-encoded with AVX2 and FMA,
// for processors where HasVexFloatUnit() holds.
void InstallSse2LegacyRoutines(MathRoutine* table);
#if STAGEHOST_MATH_VEX
void InstallSse2VexRoutines(MathRoutine* table);
// The VEX form's routines, built with AVX2 and FMA; nothing in them may run
// on a processor without HasVexFloatUnit().
extern const MathRoutineSet kSse2VexRoutineSet;
#endif

// For tests: put the first-call stubs back into slots 0-54, null into 55 and
// 56, and forget the choice, as at program start.
void RestoreMathFirstCallStubs();
// The first-call stub of a slot (null for 55 and 56).
MathRoutine MathFirstCallStub(int slot);

// The 3DNow! routines of all 57 slots, without the processor check (for
// tests that run on an emulated processor).
void FillAmd3DNowRoutines(MathRoutine* table);
