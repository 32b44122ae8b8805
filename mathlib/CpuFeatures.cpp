// HasProcessorFeature and Probe3DNow over the replaceable system probes.
//
// Older consumer systems (platform id 1) save the SIMD registers on a task
// switch only from version 4.10 build 1373 on; later systems (platform id 2)
// answer feature questions themselves, except SSE2, which the processor test
// decides. Any other platform id, or a failed version query, means no
// feature.
#include "mathlib/CpuFeatures.h"

namespace {

enum : std::uint32_t {
  kPlatformConsumer = 1,
  kPlatformNt = 2,
};

struct StandardFeatures {
  bool sse = false;
  bool sse2 = false;
};

// CPUID leaf 1, when leaf 0 reports it; a probe that fails keeps what was
// gathered so far.
StandardFeatures StandardTest() {
  StandardFeatures result;
  CpuidRegisters r{};
  if (!MathProbes().cpuid(0, &r) || r.eax == 0) return result;
  if (!MathProbes().cpuid(1, &r)) return result;
  result.sse = (r.edx >> 25) & 1;
  result.sse2 = (r.edx >> 26) & 1;
  return result;
}

bool ExtendedTest3DNow() {
  CpuidRegisters r{};
  if (!MathProbes().cpuid(0x80000000u, &r) || r.eax < 0x80000001u) return false;
  if (!MathProbes().cpuid(0x80000001u, &r)) return false;
  return (r.edx >> 31) & 1;
}

bool OsSavesSimdRegisters(const OsVersionInfo& v) {
  if (v.major > 4) return true;
  return v.major == 4 && v.minor >= 10 && (v.build & 0xFFFFu) >= 1373;
}

MathSystemProbes& ProbeStorage() {
  static MathSystemProbes probes = PlatformMathProbes();
  return probes;
}

}  // namespace

MathSystemProbes& MathProbes() { return ProbeStorage(); }

int ReadCpuPathSwitch(const char* name, std::uint32_t* value) {
  return MathProbes().readSwitch(name, value);
}

int HasProcessorFeature(std::uint32_t feature) {
  OsVersionInfo version{};
  if (!MathProbes().osVersion(&version)) version = OsVersionInfo{};

  if (version.platformId == kPlatformNt) {
    if (feature == kFeatureSse2) return StandardTest().sse2;
    return MathProbes().osFeature(feature);
  }
  if (version.platformId == kPlatformConsumer) {
    switch (feature) {
      case kFeatureSse:
        return OsSavesSimdRegisters(version) && StandardTest().sse;
      case kFeatureSse2:
        return OsSavesSimdRegisters(version) && StandardTest().sse2;
      case kFeatureAmd3DNow:
        return ExtendedTest3DNow();
      default:
        return 0;
    }
  }
  return 0;
}

bool HasVexFloatUnit() {
  CpuidRegisters r{};
  if (!MathProbes().cpuid(0, &r) || r.eax < 7) return false;
  if (!MathProbes().cpuid(1, &r)) return false;
  const bool fma = (r.ecx >> 12) & 1, osxsave = (r.ecx >> 27) & 1, avx = (r.ecx >> 28) & 1;
  if (!fma || !osxsave || !avx) return false;
  // XMM (bit 1) and YMM (bit 2) state saved by the system.
  std::uint32_t xcr0 = 0;
  if (!MathProbes().xcr0 || !MathProbes().xcr0(&xcr0) || (xcr0 & 6u) != 6u) return false;
  if (!MathProbes().cpuid(7, &r)) return false;
  return (r.ebx >> 5) & 1;  // AVX2
}

std::uint32_t Probe3DNow() {
  std::uint32_t bits = kProbeAlways;
  CpuidRegisters r{};
  // Leaf 0 also names the vendor (ebx, edx, ecx); the result ignores it.
  if (MathProbes().cpuid(0, &r) && r.eax > 0) {
    bits |= kProbeStandardCpuid;
    if (MathProbes().cpuid(1, &r) && ((r.edx >> 23) & 1)) bits |= kProbeMmx;
  }
  if (MathProbes().cpuid(0x80000000u, &r) && r.eax > 0x80000000u) {
    bits |= kProbeExtendedCpuid;
    if (MathProbes().cpuid(0x80000001u, &r)) {
      if ((r.edx >> 31) & 1) bits |= kProbe3DNow;
      if ((r.edx >> 30) & 1) bits |= kProbe3DNowExt;
      if ((r.edx >> 22) & 1) bits |= kProbeMmxExt;
    }
  }
  return bits;
}
