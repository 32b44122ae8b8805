// Processor and operating-system tests behind the choice of routine set.
// The raw queries go through MathSystemProbes, which tests replace to walk
// every branch of the choice without the hardware.
#pragma once

#include <cstdint>

struct CpuidRegisters {
  std::uint32_t eax, ebx, ecx, edx;
};

// The operating system's version record (platform id 1: the older consumer
// family that needs a version check for the SIMD registers; 2: the family
// that reports processor features itself).
struct OsVersionInfo {
  std::uint32_t platformId, major, minor, build;
};

struct MathSystemProbes {
  // Runs CPUID for a leaf; false when the instruction is not available.
  bool (*cpuid)(std::uint32_t leaf, CpuidRegisters* out);
  // Fills the version record; false (record left zero) when it fails.
  bool (*osVersion)(OsVersionInfo* out);
  // The operating system's own answer for a processor-feature number.
  int (*osFeature)(std::uint32_t feature);
  // Reads a 32-bit switch value; 1 when present and of the right type.
  int (*readSwitch)(const char* name, std::uint32_t* value);
  // The low half of extended control register 0 (which register states the
  // system saves); only asked once CPUID reports OSXSAVE. False when it
  // cannot be read.
  bool (*xcr0)(std::uint32_t* out);
};

// The probes in use; tests may overwrite the members and must restore them.
MathSystemProbes& MathProbes();
// The platform's own probes (mathlib/<os>/).
MathSystemProbes PlatformMathProbes();

// Processor-feature numbers.
enum : std::uint32_t {
  kFeatureSse = 6,
  kFeatureAmd3DNow = 7,
  kFeatureSse2 = 10,
};

// Bits of Probe3DNow's result.
enum : std::uint32_t {
  kProbeAlways = 0x1,
  kProbeStandardCpuid = 0x2,
  kProbeExtendedCpuid = 0x4,
  kProbeMmx = 0x20,
  kProbe3DNow = 0x80,
  kProbe3DNowExt = 0x100,
  kProbeMmxExt = 0x200,
};

int HasProcessorFeature(std::uint32_t feature);
// True when the processor has AVX2 and FMA and the system saves the wide
// registers: the SSE2 set then runs in its VEX-encoded form.
bool HasVexFloatUnit();
std::uint32_t Probe3DNow();
// Through the probes' readSwitch.
int ReadCpuPathSwitch(const char* name, std::uint32_t* value);
// The platform's switch reader (environment variables on Linux).
int ReadPlatformCpuPathSwitch(const char* name, std::uint32_t* value);
