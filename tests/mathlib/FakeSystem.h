// A scripted processor and operating system behind the math library's
// probes, so that every branch of the choice of routine set can be walked
// without the hardware. Installing a FakeSystem replaces the probes; its
// destructor puts the real ones back and resets the choice.
#pragma once

#include <map>
#include <set>
#include <string>

#include "mathlib/CpuFeatures.h"

struct FakeSystem {
  // Operating system.
  bool versionOk = true;
  OsVersionInfo version{2, 10, 0, 19045};
  std::set<std::uint32_t> osFeatures;
  // CPUID leaves that answer, and leaves whose instruction faults.
  std::map<std::uint32_t, CpuidRegisters> leaves;
  std::set<std::uint32_t> faultingLeaves;
  // Extended control register 0; unreadable when xcr0Ok is false.
  bool xcr0Ok = true;
  std::uint32_t xcr0 = 0;
  int xcr0Reads = 0;
  // Switches: name -> value; absent names are not there.
  std::map<std::string, std::uint32_t> switches;
  int probeCalls = 0;

  FakeSystem();
  ~FakeSystem();
  FakeSystem(const FakeSystem&) = delete;
  FakeSystem& operator=(const FakeSystem&) = delete;

  // Processor descriptions.
  void NoCpuid();
  void StandardFeatures(bool mmx, bool sse, bool sse2);
  void ExtendedFeatures(bool amd3DNow, bool amd3DNowExt, bool mmxExt);
  // Leaf 7 and the VEX bits of leaf 1 on top of StandardFeatures; the
  // system saves the wide registers when xcr0 has bits 1 and 2.
  void WideFeatures(bool avx, bool fma, bool avx2, bool osxsave, std::uint32_t xcr0Value);
  void PlainIntelLike() {  // SSE and SSE2, no 3DNow!
    StandardFeatures(true, true, true);
    ExtendedFeatures(false, false, false);
  }

 private:
  MathSystemProbes saved_;
};
