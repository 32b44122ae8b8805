// The math library's system probes on Windows: the processor through CPUID,
// the system's version record through GetVersionExA, and the system's own
// answer on processor features through IsProcessorFeaturePresent.
#include <windows.h>

#include "mathlib/CpuFeatures.h"
#include "mathlib/ProcessorInstructions.h"

namespace {

bool WindowsVersion(OsVersionInfo* out) {
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
    if (!GetVersionExA(&info)) return false;
    *out = OsVersionInfo{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
    return true;
}

int WindowsFeature(std::uint32_t feature) { return IsProcessorFeaturePresent(feature) ? 1 : 0; }

}  // namespace

MathSystemProbes PlatformMathProbes() {
    return MathSystemProbes{&RunCpuid, &WindowsVersion, &WindowsFeature, &ReadPlatformCpuPathSwitch, &ReadXcr0};
}
