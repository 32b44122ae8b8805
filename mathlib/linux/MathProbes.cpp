// The system probes on Linux. The kernel saves the SIMD registers on every
// x86-64 processor, so it reports itself as a system that answers feature
// questions (platform id 2) and answers them from CPUID.
#include "mathlib/CpuFeatures.h"
#include "mathlib/ProcessorInstructions.h"

namespace {

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

}  // namespace

MathSystemProbes PlatformMathProbes() {
  return MathSystemProbes{&RunCpuid, &LinuxVersion, &LinuxFeature, &ReadPlatformCpuPathSwitch, &ReadXcr0};
}
