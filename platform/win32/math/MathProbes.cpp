// The math library's system probes on Windows: the processor through CPUID,
// the system's version record through GetVersionExA, and the system's own
// answer on processor features through IsProcessorFeaturePresent.
#include <windows.h>

#include <cpuid.h>

#include "mathlib/CpuFeatures.h"

namespace {

bool RunCpuid(std::uint32_t leaf, CpuidRegisters* out) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(leaf, 0, a, b, c, d);
    *out = CpuidRegisters{a, b, c, d};
    return true;
}

bool WindowsVersion(OsVersionInfo* out) {
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
    if (!GetVersionExA(&info)) return false;
    *out = OsVersionInfo{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
    return true;
}

int WindowsFeature(std::uint32_t feature) { return IsProcessorFeaturePresent(feature) ? 1 : 0; }

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
    return MathSystemProbes{&RunCpuid, &WindowsVersion, &WindowsFeature, &ReadPlatformCpuPathSwitch, &ReadXcr0};
}
