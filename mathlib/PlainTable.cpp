// The default table: the plain routine of every slot, in slot order. Slots 8
// and 20 share the 4-vector normalisation. Built from address constants only,
// so it is in place before any static initialiser runs.
#include <type_traits>

#include "mathlib/MathTable.h"
#include "mathlib/PlainRoutines.h"

#define STAGEHOST_MATH_PLAIN_TYPE_CHECK(slot, name, ret, params)                                    \
  static_assert(std::is_same_v<decltype(&mathlib::plain::name), MathSlotType<slot>::Fn*>, #name);
STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_PLAIN_TYPE_CHECK)
#undef STAGEHOST_MATH_PLAIN_TYPE_CHECK

#define STAGEHOST_MATH_PLAIN_ENTRY(slot, name, ret, params)                                        \
  slot == MathSlot::QuatNormalise ? reinterpret_cast<MathRoutine>(&mathlib::plain::Vec4Normalise) \
                                  : reinterpret_cast<MathRoutine>(&mathlib::plain::name),
const MathRoutine kPlainMathRoutines[MathSlot::Count] = {STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_PLAIN_ENTRY)};
#undef STAGEHOST_MATH_PLAIN_ENTRY
