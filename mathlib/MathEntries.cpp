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

#elif defined(_WIN32) && (defined(__x86_64__) || defined(__i386__))
// Windows (PE/COFF): 32-bit C names carry a leading underscore, and slots
// are 4 bytes wide there.
#define STAGEHOST_MATH_STR2(x) #x
#define STAGEHOST_MATH_STR(x) STAGEHOST_MATH_STR2(x)
#if defined(__x86_64__)
#define STAGEHOST_MATH_C_NAME(name) #name
#define STAGEHOST_MATH_JUMP(slot) "  jmp *g_mathRoutines+" STAGEHOST_MATH_STR(slot) "*8(%rip)\n"
#else
#define STAGEHOST_MATH_C_NAME(name) "_" #name
#define STAGEHOST_MATH_JUMP(slot) "  jmp *_g_mathRoutines+" STAGEHOST_MATH_STR(slot) "*4\n"
#endif
#define STAGEHOST_MATH_ENTRY(slot, name, ret, params)                              \
  ".globl " STAGEHOST_MATH_C_NAME(Math##name) "\n"                                 \
  ".def " STAGEHOST_MATH_C_NAME(Math##name) "; .scl 2; .type 32; .endef\n"         \
  ".p2align 4\n"                                                                   \
  STAGEHOST_MATH_C_NAME(Math##name) ":\n"                                          \
  STAGEHOST_MATH_JUMP(slot)

asm(".text\n" STAGEHOST_MATH_OPERATIONS(STAGEHOST_MATH_ENTRY));

#else
#error "no public math entries for this target"
#endif
