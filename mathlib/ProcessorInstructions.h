// The two processor queries the probes of every system share: CPUID (with
// sub-leaf 0) and XGETBV (extended control register 0). Instructions, not
// system calls; false where the target has neither.
#pragma once

#include "mathlib/CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

inline bool RunCpuid(std::uint32_t leaf, CpuidRegisters* out) {
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid_count(leaf, 0, a, b, c, d);
  *out = CpuidRegisters{a, b, c, d};
  return true;
#else
  (void)leaf;
  (void)out;
  return false;
#endif
}

// The caller has seen OSXSAVE, so the instruction exists.
inline bool ReadXcr0(std::uint32_t* out) {
#if defined(__x86_64__) || defined(__i386__)
  std::uint32_t low = 0, high = 0;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  *out = low;
  return true;
#else
  (void)out;
  return false;
#endif
}

}  // namespace
