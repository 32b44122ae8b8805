#include "FakeSystem.h"

#include "mathlib/VectorMath.h"

namespace {

FakeSystem* g_active = nullptr;

bool FakeCpuid(std::uint32_t leaf, CpuidRegisters* out) {
  ++g_active->probeCalls;
  if (g_active->faultingLeaves.count(leaf)) return false;
  const auto it = g_active->leaves.find(leaf);
  // An unlisted leaf answers zeros, as a processor does for many leaves.
  *out = it == g_active->leaves.end() ? CpuidRegisters{0, 0, 0, 0} : it->second;
  return true;
}

bool FakeVersion(OsVersionInfo* out) {
  ++g_active->probeCalls;
  if (!g_active->versionOk) return false;
  *out = g_active->version;
  return true;
}

int FakeFeature(std::uint32_t feature) {
  ++g_active->probeCalls;
  return g_active->osFeatures.count(feature) ? 1 : 0;
}

int FakeSwitch(const char* name, std::uint32_t* value) {
  ++g_active->probeCalls;
  const auto it = g_active->switches.find(name);
  if (it == g_active->switches.end()) return 0;
  *value = it->second;
  return 1;
}

bool FakeXcr0(std::uint32_t* out) {
  ++g_active->probeCalls;
  ++g_active->xcr0Reads;
  if (!g_active->xcr0Ok) return false;
  *out = g_active->xcr0;
  return true;
}

}  // namespace

FakeSystem::FakeSystem() : saved_(MathProbes()) {
  g_active = this;
  MathProbes() = MathSystemProbes{&FakeCpuid, &FakeVersion, &FakeFeature, &FakeSwitch, &FakeXcr0};
  InitMathTable(0);
}

FakeSystem::~FakeSystem() {
  MathProbes() = saved_;
  g_active = nullptr;
  InitMathTable(0);
}

void FakeSystem::NoCpuid() {
  leaves.clear();
  for (std::uint32_t leaf : {0u, 1u, 0x80000000u, 0x80000001u}) faultingLeaves.insert(leaf);
}

void FakeSystem::StandardFeatures(bool mmx, bool sse, bool sse2) {
  leaves[0] = CpuidRegisters{1, 0x68747541, 0x444D4163, 0x69746E65};  // highest leaf 1
  leaves[1] = CpuidRegisters{0, 0, 0, (mmx ? 1u << 23 : 0) | (sse ? 1u << 25 : 0) | (sse2 ? 1u << 26 : 0)};
}

void FakeSystem::ExtendedFeatures(bool amd3DNow, bool amd3DNowExt, bool mmxExt) {
  leaves[0x80000000u] = CpuidRegisters{0x80000008u, 0, 0, 0};
  leaves[0x80000001u] = CpuidRegisters{
      0, 0, 0, (amd3DNow ? 1u << 31 : 0) | (amd3DNowExt ? 1u << 30 : 0) | (mmxExt ? 1u << 22 : 0)};
}

void FakeSystem::WideFeatures(bool avx, bool fma, bool avx2, bool osxsave, std::uint32_t xcr0Value) {
  leaves[0].eax = 7;
  leaves[1].ecx = (fma ? 1u << 12 : 0) | (osxsave ? 1u << 27 : 0) | (avx ? 1u << 28 : 0);
  leaves[7] = CpuidRegisters{0, avx2 ? 1u << 5 : 0, 0, 0};
  xcr0 = xcr0Value;
}
