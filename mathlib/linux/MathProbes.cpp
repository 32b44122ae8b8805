// The system probes on Linux. The kernel saves the SIMD registers on every
// x86-64 processor, so it reports itself as a system that answers feature
// questions (platform id 2) and answers them from CPUID.
#include "mathlib/CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

bool RunCpuid(std::uint32_t leaf, CpuidRegisters* out) {
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

bool LinuxVersion(OsVersionInfo* out) {
  *out = OsVersionInfo{2, 0, 0, 0};
  return true;
}

// Feature 6: SSE (leaf 1, EDX bit 25); feature 7: 3DNow! (extended leaf,
// EDX bit 31); nothing else is asked.
int LinuxFeature(std::uint32_t feature) {
  CpuidRegisters r{};
  if (feature == kFeatureSse) {
    if (!RunCpuid(0, &r) || r.eax == 0 || !RunCpuid(1, &r)) return 0;
    return (r.edx >> 25) & 1;
  }
  if (feature == kFeatureAmd3DNow) {
    if (!RunCpuid(0x80000000u, &r) || r.eax < 0x80000001u || !RunCpuid(0x80000001u, &r)) return 0;
    return (r.edx >> 31) & 1;
  }
  return 0;
}

// XGETBV with ECX = 0; the caller has seen OSXSAVE, so the instruction exists.
bool ReadXcr0(std::uint32_t* out) {
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

MathSystemProbes PlatformMathProbes() {
  return MathSystemProbes{&RunCpuid, &LinuxVersion, &LinuxFeature, &ReadPlatformCpuPathSwitch, &ReadXcr0};
}
