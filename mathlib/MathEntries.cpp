// The public entries: each is a single indirect jump through its slot of the
// routine table, so the caller's arguments (in registers and on the stack)
// and its return address reach the routine untouched, whatever the
// operation's signature.
#include "mathlib/MathTable.h"
#include "mathlib/VectorMath.h"

#if defined(__x86_64__) && defined(__ELF__)

#define STAGEHOST_MATH_STR2(x) #x
#define STAGEHOST_MATH_STR(x) STAGEHOST_MATH_STR2(x)
#define STAGEHOST_MATH_ENTRY(slot, name, ret, params)                        \
  ".globl Math" #name "\n"                                                   \
  ".type Math" #name ", @function\n"                                         \
  ".p2align 4\n"                                                             \
  "Math" #name ":\n"                                                         \
  "  jmp *g_mathRoutines+" STAGEHOST_MATH_STR(slot) "*8(%rip)\n"           \
  ".size Math" #name ", .-Math" #name "\n"

asm(".text\n" STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_ENTRY));

#else
// Another target (the 32-bit Windows build) brings its own entry file.
#error "no public math entries for this target"
#endif
