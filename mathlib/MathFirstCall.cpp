// The routine table as it stands at program start: slots 0-54 hold the
// first-call stub of their operation, slots 55 and 56 (used only by the
// plain squad set-up, after the table is filled) are null. A stub makes the
// choice of routine set and then forwards the caller's own arguments
// through the same slot, now filled, returning the chosen routine's result.
#include <cstring>

#include "mathlib/MathTable.h"
#include "mathlib/VectorMath.h"

namespace {

template <int Slot, typename Fn>
struct FirstCall;

template <int Slot, typename R, typename... A>
struct FirstCall<Slot, R(A...)> {
  static R Call(A... args) {
    InitMathTable(1);
    return GetMathRoutine<Slot>(g_mathRoutines)(args...);
  }
};

// Address constants only, so that both tables are in place before any static
// initialiser runs.
#define STAGEHOST_MATH_STUB(slot, name, ret, params) \
  slot >= MathSlot::QuatLog ? nullptr : reinterpret_cast<MathRoutine>(&FirstCall<slot, MathSlotType<slot>::Fn>::Call),
const MathRoutine kFirstCallStubs[MathSlot::Count] = {STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_STUB)};
#undef STAGEHOST_MATH_STUB

}  // namespace

#define STAGEHOST_MATH_STUB(slot, name, ret, params) \
  slot >= MathSlot::QuatLog ? nullptr : reinterpret_cast<MathRoutine>(&FirstCall<slot, MathSlotType<slot>::Fn>::Call),
MathRoutine g_mathRoutines[MathSlot::Count] = {STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_STUB)};
#undef STAGEHOST_MATH_STUB

MathRoutine MathFirstCallStub(int slot) {
  return slot >= 0 && slot < MathSlot::Count ? kFirstCallStubs[slot] : nullptr;
}

void MathForgetChoice();  // MathDispatch.cpp

void RestoreMathFirstCallStubs() {
  MathForgetChoice();
  std::memcpy(g_mathRoutines, kFirstCallStubs, sizeof g_mathRoutines);
}
