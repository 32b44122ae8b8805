// The choice of routine set, the switches, the first-call stubs and the
// reset path, walked through a scripted processor and operating system.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "BuiltSets.h"
#include "FakeSystem.h"
#include "mathlib/MathTable.h"
#include "mathlib/VectorMath.h"

namespace {

enum class Expect { Plain, Sse, Sse2, Amd3DNow, Amd3DNowAthlon };

std::vector<MathRoutine> ExpectedTable(Expect set) {
  std::vector<MathRoutine> t(kPlainMathRoutines, kPlainMathRoutines + MathSlot::Count);
  InstallScalarRoutines(t.data());
  switch (set) {
    case Expect::Plain:
      break;
    case Expect::Sse:
      InstallSseRoutines(t.data());
      break;
    case Expect::Sse2:
      InstallSse2Routines(t.data());
      break;
    case Expect::Amd3DNow:
      FillAmd3DNowRoutines(t.data());
      break;
    case Expect::Amd3DNowAthlon:
      FillAmd3DNowRoutines(t.data());
      InstallAthlonRoutines(t.data());
      break;
  }
  return t;
}

std::vector<MathRoutine> LiveTable() { return std::vector<MathRoutine>(g_mathRoutines, g_mathRoutines + MathSlot::Count); }

// The slots where a set's installer changes a table of plain routines.
std::vector<int> SlotsBroughtBy(void (*install)(MathRoutine*)) {
  std::vector<MathRoutine> t(kPlainMathRoutines, kPlainMathRoutines + MathSlot::Count);
  install(t.data());
  std::vector<int> slots;
  for (int i = 0; i < MathSlot::Count; ++i) {
    if (t[i] != kPlainMathRoutines[i]) slots.push_back(i);
  }
  return slots;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> r;
  for (int i = first; i <= last; ++i) r.push_back(i);
  return r;
}

}  // namespace

TEST(MathSets, EachSetBringsItsOwnSlots) {
  const std::vector<int> sse = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 16, 17, 18, 19,
                                20, 21, 22, 24, 25, 27, 28, 44, 47, 48, 49, 50, 51, 52, 53, 54};
  const std::vector<int> sse2 = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 16, 17, 18, 19,
                                 20, 21, 22, 24, 25, 27, 28, 30, 31, 47, 48, 49, 50, 51, 52, 53, 54};
  EXPECT_EQ(SlotsBroughtBy(&InstallScalarRoutines), Range(0, 7));
  EXPECT_EQ(SlotsBroughtBy(&InstallSseRoutines), sse);
  EXPECT_EQ(sse.size(), 33u);
  EXPECT_EQ(SlotsBroughtBy(&InstallSse2Routines), sse2);
  EXPECT_EQ(SlotsBroughtBy(&InstallSse2LegacyRoutines), sse2);
#if STAGEHOST_MATH_VEX
  EXPECT_EQ(SlotsBroughtBy(&InstallSse2VexRoutines), sse2);
#endif
  EXPECT_EQ(sse2.size(), 34u);
  if (Amd3DNowRoutinesBuilt()) {
    EXPECT_EQ(SlotsBroughtBy(&FillAmd3DNowRoutines), Range(0, 56));
    EXPECT_EQ(SlotsBroughtBy(&InstallAthlonRoutines), (std::vector<int>{15, 18, 24, 38, 39}));
  } else {
    // Built without the 3DNow! sets: both fills leave the table as it was.
    EXPECT_EQ(SlotsBroughtBy(&FillAmd3DNowRoutines), std::vector<int>{});
    EXPECT_EQ(SlotsBroughtBy(&InstallAthlonRoutines), std::vector<int>{});
  }
}

TEST(MathSets, PlainTableSharesTheFourVectorNormalisation) {
  EXPECT_EQ(kPlainMathRoutines[MathSlot::Vec4Normalise], kPlainMathRoutines[MathSlot::QuatNormalise]);
  for (int i = 0; i < MathSlot::Count; ++i) EXPECT_NE(kPlainMathRoutines[i], nullptr) << i;
}

// ---- the choice ------------------------------------------------------------

struct ChoiceCase {
  const char* name;
  std::uint32_t platformId;
  bool mmx, sse, sse2, amd3DNow, amd3DNowExt, mmxExt;
  std::vector<std::uint32_t> osFeatures;
  std::uint32_t state;
  Expect table;
};
void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class MathChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(MathChoice, PicksTheSetTheProcessorAndSystemSupport) {
  const ChoiceCase& c = GetParam();
  FakeSystem fake;
  fake.version.platformId = c.platformId;
  fake.version.major = 4;
  fake.version.minor = 10;
  fake.version.build = 2222;
  fake.StandardFeatures(c.mmx, c.sse, c.sse2);
  fake.ExtendedFeatures(c.amd3DNow, c.amd3DNowExt, c.mmxExt);
  fake.osFeatures.insert(c.osFeatures.begin(), c.osFeatures.end());

  EXPECT_EQ(InitMathTable(1), c.state);
  EXPECT_EQ(LiveTable(), ExpectedTable(c.table));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MathChoice,
    ::testing::Values(
        // Windows NT family: the system answers 6 and 7, CPUID answers 10.
        ChoiceCase{"NtSse2", 2, true, true, true, false, false, false, {6}, 2, Expect::Sse2},
        ChoiceCase{"NtSseOnly", 2, true, true, false, false, false, false, {6}, 3, Expect::Sse},
        ChoiceCase{"NtNothing", 2, true, false, false, false, false, false, {}, 0, Expect::Plain},
        ChoiceCase{"NtSse2WithoutOsSse", 2, true, false, true, false, false, false, {}, 2, Expect::Sse2},
        ChoiceCase{"NtOsSaysSse2ButCpuidNot", 2, true, true, false, false, false, false, {6, 10}, 3, Expect::Sse},
        ChoiceCase{"Nt3DNow", 2, true, false, false, true, false, false, {7}, 1, Expect::Amd3DNow},
        ChoiceCase{"Nt3DNowAndSse2", 2, true, true, true, true, false, false, {6, 7}, 1, Expect::Amd3DNow},
        ChoiceCase{"NtAthlon", 2, true, true, false, true, true, true, {6, 7}, 1, Expect::Amd3DNowAthlon},
        ChoiceCase{"NtExt3DNowWithoutMmxExt", 2, true, false, false, true, true, false, {7}, 1, Expect::Amd3DNow},
        ChoiceCase{"NtMmxExtWithout3DNowExt", 2, true, false, false, true, false, true, {7}, 1, Expect::Amd3DNow},
        // The installer's own probe declines (no MMX, or no 3DNow! bit):
        // state 1 all the same, table as it was.
        ChoiceCase{"Nt3DNowInstallerDeclinesNoMmx", 2, false, true, true, true, true, true, {7}, 1, Expect::Plain},
        ChoiceCase{"Nt3DNowInstallerDeclinesNoBit", 2, true, true, true, false, false, false, {7}, 1, Expect::Plain},
        // Windows 95 family at 4.10 build 2222: the SIMD registers are saved.
        ChoiceCase{"ConsumerSse2", 1, true, true, true, false, false, false, {}, 2, Expect::Sse2},
        ChoiceCase{"ConsumerSse", 1, true, true, false, false, false, false, {}, 3, Expect::Sse},
        ChoiceCase{"Consumer3DNowFromCpuid", 1, true, false, false, true, false, false, {}, 1, Expect::Amd3DNow},
        ChoiceCase{"ConsumerIgnoresOsFeatures", 1, true, false, false, false, false, false, {6, 7, 10}, 0,
                   Expect::Plain},
        // Unknown platform ids: nothing.
        ChoiceCase{"PlatformZero", 0, true, true, true, true, true, true, {6, 7, 10}, 0, Expect::Plain},
        ChoiceCase{"PlatformThree", 3, true, true, true, true, true, true, {6, 7, 10}, 0, Expect::Plain}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

// ---- the form of the SSE2 set -------------------------------------------

// The SSE2 set comes VEX-encoded only when the processor has AVX, FMA and
// AVX2 and the system saves the XMM and YMM state; state 2 either way.
struct FormCase {
  const char* name;
  bool avx, fma, avx2, osxsave;
  std::uint32_t xcr0;
  bool xcr0Readable;
  std::uint32_t highestLeaf;
  bool vex;
};
void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

class MathSse2Form : public ::testing::TestWithParam<FormCase> {};

TEST_P(MathSse2Form, VexOnlyWithEveryFeatureAndTheSystemsSupport) {
  const FormCase& c = GetParam();
  FakeSystem fake;
  fake.PlainIntelLike();
  fake.WideFeatures(c.avx, c.fma, c.avx2, c.osxsave, c.xcr0);
  fake.xcr0Ok = c.xcr0Readable;
  fake.leaves[0].eax = c.highestLeaf;
  fake.osFeatures.insert(6);

  EXPECT_EQ(InitMathTable(1), kMathSse2Set);
  std::vector<MathRoutine> expected(kPlainMathRoutines, kPlainMathRoutines + MathSlot::Count);
  InstallScalarRoutines(expected.data());
#if STAGEHOST_MATH_VEX
  if (c.vex) {
    InstallSse2VexRoutines(expected.data());
  } else {
    InstallSse2LegacyRoutines(expected.data());
  }
#else
  InstallSse2LegacyRoutines(expected.data());  // no VEX form in this build
#endif
  EXPECT_EQ(LiveTable(), expected);
  // The control register is read only after CPUID reports OSXSAVE (the
  // instruction faults otherwise).
  if (!c.osxsave) {
    EXPECT_EQ(fake.xcr0Reads, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MathSse2Form,
    ::testing::Values(FormCase{"Everything", true, true, true, true, 7, true, 7, true},
                      FormCase{"UpperStatesAlsoSaved", true, true, true, true, 0xE7, true, 13, true},
                      FormCase{"NoAvx", false, true, true, true, 7, true, 7, false},
                      FormCase{"NoFma", true, false, true, true, 7, true, 7, false},
                      FormCase{"NoAvx2", true, true, false, true, 7, true, 7, false},
                      FormCase{"NoOsxsave", true, true, true, false, 7, true, 7, false},
                      FormCase{"SystemSavesNoYmm", true, true, true, true, 3, true, 7, false},
                      FormCase{"SystemSavesNoXmm", true, true, true, true, 5, true, 7, false},
                      FormCase{"ControlRegisterUnreadable", true, true, true, true, 7, false, 7, false},
                      FormCase{"NoLeaf7", true, true, true, true, 7, true, 6, false}),
    [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

TEST(MathSse2Form, ThreeDNowStillWinsOverAVexProcessor) {
  FakeSystem fake;
  fake.StandardFeatures(true, true, true);
  fake.ExtendedFeatures(true, false, false);
  fake.WideFeatures(true, true, true, true, 7);
  fake.osFeatures = {6, 7};
  EXPECT_EQ(InitMathTable(1), kMathAmd3DNowSet);
  EXPECT_EQ(LiveTable(), ExpectedTable(Expect::Amd3DNow));
}

// ---- system and processor tests ----------------------------------------

struct VersionCase {
  std::uint32_t major, minor, build;
  bool simd;
};

TEST(HasProcessorFeature, ConsumerVersionRuleForSimdRegisters) {
  const VersionCase cases[] = {
      {5, 0, 0, true},           {4, 90, 3000, true},       {4, 90, 0, false},          {4, 10, 1373, true},  {4, 10, 1372, false},
      {4, 10, 0x0A0A055D, true},  // build number in the low 16 bits (1373)
      {4, 10, 0x0A0A055C, false}, {4, 9, 9999, false},      {4, 0, 1373, false},  {3, 95, 9999, false},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << " build " << c.build);
    FakeSystem fake;
    fake.version = OsVersionInfo{1, c.major, c.minor, c.build};
    fake.StandardFeatures(true, true, true);
    fake.ExtendedFeatures(true, false, false);
    EXPECT_EQ(HasProcessorFeature(kFeatureSse) != 0, c.simd);
    EXPECT_EQ(HasProcessorFeature(kFeatureSse2) != 0, c.simd);
    // 3DNow! needs no system test.
    EXPECT_NE(HasProcessorFeature(kFeatureAmd3DNow), 0);
    EXPECT_EQ(HasProcessorFeature(8), 0);
  }
}

TEST(HasProcessorFeature, NtAsksTheSystemExceptForSse2) {
  FakeSystem fake;
  fake.StandardFeatures(true, false, true);
  fake.ExtendedFeatures(false, false, false);
  fake.osFeatures = {6, 7, 12};
  EXPECT_NE(HasProcessorFeature(kFeatureSse), 0);       // the system says so, CPUID does not
  EXPECT_NE(HasProcessorFeature(kFeatureAmd3DNow), 0);  // likewise
  EXPECT_NE(HasProcessorFeature(12), 0);                // any other number: the system's answer
  EXPECT_NE(HasProcessorFeature(kFeatureSse2), 0);      // CPUID only
  fake.osFeatures = {10};
  fake.StandardFeatures(true, true, false);
  EXPECT_EQ(HasProcessorFeature(kFeatureSse2), 0);
}

TEST(HasProcessorFeature, FailedVersionQueryMeansNoFeature) {
  FakeSystem fake;
  fake.versionOk = false;
  fake.StandardFeatures(true, true, true);
  fake.osFeatures = {6, 7, 10};
  for (std::uint32_t f : {6u, 7u, 10u}) EXPECT_EQ(HasProcessorFeature(f), 0) << f;
  EXPECT_EQ(InitMathTable(1), kMathPlainSet);
}

TEST(HasProcessorFeature, ProcessorTestsGuardTheirLeaves) {
  FakeSystem fake;
  fake.version.platformId = 1;
  // Leaf 0 reports no leaf 1: no SSE whatever leaf 1 would say.
  fake.StandardFeatures(true, true, true);
  fake.leaves[0].eax = 0;
  EXPECT_EQ(HasProcessorFeature(kFeatureSse), 0);
  // Leaf 1 faults: what was gathered so far (nothing).
  fake.StandardFeatures(true, true, true);
  fake.faultingLeaves = {1};
  EXPECT_EQ(HasProcessorFeature(kFeatureSse2), 0);
  // No CPUID at all.
  fake.NoCpuid();
  EXPECT_EQ(HasProcessorFeature(kFeatureSse), 0);
  EXPECT_EQ(HasProcessorFeature(kFeatureAmd3DNow), 0);
  // Extended leaves stop below 0x80000001.
  fake.faultingLeaves.clear();
  fake.ExtendedFeatures(true, true, true);
  fake.leaves[0x80000000u].eax = 0x80000000u;
  EXPECT_EQ(HasProcessorFeature(kFeatureAmd3DNow), 0);
  fake.leaves[0x80000000u].eax = 0x80000001u;
  EXPECT_NE(HasProcessorFeature(kFeatureAmd3DNow), 0);
}

TEST(Probe3DNow, ReportsEachCapabilityBit) {
  FakeSystem fake;
  fake.NoCpuid();
  EXPECT_EQ(Probe3DNow(), kProbeAlways);

  fake.faultingLeaves.clear();
  fake.StandardFeatures(true, false, false);
  fake.ExtendedFeatures(true, true, true);
  EXPECT_EQ(Probe3DNow(), kProbeAlways | kProbeStandardCpuid | kProbeMmx | kProbeExtendedCpuid | kProbe3DNow |
                              kProbe3DNowExt | kProbeMmxExt);

  fake.StandardFeatures(false, true, true);
  fake.ExtendedFeatures(false, true, false);
  EXPECT_EQ(Probe3DNow(), kProbeAlways | kProbeStandardCpuid | kProbeExtendedCpuid | kProbe3DNowExt);

  // Highest extended leaf exactly 0x80000000: no extended bits at all.
  fake.ExtendedFeatures(true, true, true);
  fake.leaves[0x80000000u].eax = 0x80000000u;
  EXPECT_EQ(Probe3DNow(), kProbeAlways | kProbeStandardCpuid);

  // The vendor text does not matter.
  fake.ExtendedFeatures(true, false, false);
  fake.leaves[0].ebx = fake.leaves[0].ecx = fake.leaves[0].edx = 0;
  EXPECT_EQ(Probe3DNow(), kProbeAlways | kProbeStandardCpuid | kProbeExtendedCpuid | kProbe3DNow);
}

// ---- switches --------------------------------------------------------------

struct SwitchCase {
  const char* name;
  std::map<std::string, std::uint32_t> switches;
  std::uint32_t state;
};
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class MathSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(MathSwitches, OnlyTheValueOneKeepsThePlainRoutines) {
  FakeSystem fake;
  fake.PlainIntelLike();
  fake.switches = GetParam().switches;
  EXPECT_EQ(InitMathTable(1), GetParam().state);
  EXPECT_EQ(LiveTable(), ExpectedTable(GetParam().state == kMathPlainSet ? Expect::Plain : Expect::Sse2));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MathSwitches,
    ::testing::Values(SwitchCase{"None", {}, 2}, SwitchCase{"MathOne", {{"DisableMathCpuPaths", 1}}, 0},
                      SwitchCase{"CpuOne", {{"DisableCpuPaths", 1}}, 0},
                      SwitchCase{"CpuOneMathZero", {{"DisableCpuPaths", 1}, {"DisableMathCpuPaths", 0}}, 2},
                      SwitchCase{"CpuZeroMathOne", {{"DisableCpuPaths", 0}, {"DisableMathCpuPaths", 1}}, 0},
                      SwitchCase{"CpuTwo", {{"DisableCpuPaths", 2}}, 2},
                      SwitchCase{"MathTwo", {{"DisableMathCpuPaths", 2}}, 2},
                      SwitchCase{"CpuOneMathTwo", {{"DisableCpuPaths", 1}, {"DisableMathCpuPaths", 2}}, 2},
                      SwitchCase{"Huge", {{"DisableMathCpuPaths", 0xFFFFFFFFu}}, 2}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

TEST(MathSwitches, DisabledWhateverTheProcessor) {
  FakeSystem fake;
  fake.StandardFeatures(true, true, true);
  fake.ExtendedFeatures(true, true, true);
  fake.osFeatures = {6, 7};
  fake.switches = {{"DisableMathCpuPaths", 1}};
  EXPECT_EQ(InitMathTable(1), kMathPlainSet);
  EXPECT_EQ(LiveTable(), ExpectedTable(Expect::Plain));
}

// ---- first call, repeat and reset -----------------------------------------

class MathFirstCall : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_.PlainIntelLike();
    RestoreMathFirstCallStubs();
  }
  FakeSystem fake_;
};

TEST_F(MathFirstCall, StubsStandInEverySlotUntilFirstUse) {
  for (int i = 0; i < MathSlot::QuatLog; ++i) {
    EXPECT_NE(g_mathRoutines[i], nullptr) << i;
    EXPECT_EQ(g_mathRoutines[i], MathFirstCallStub(i)) << i;
  }
  EXPECT_EQ(g_mathRoutines[MathSlot::QuatLog], nullptr);
  EXPECT_EQ(g_mathRoutines[MathSlot::QuatExp], nullptr);
  EXPECT_EQ(fake_.probeCalls, 0);  // nothing probed before first use
}

TEST_F(MathFirstCall, FirstCallChoosesAndGivesTheSameResultAsTheSecond) {
  MathMatrix a{}, b{}, first{}, second{};
  for (int i = 0; i < 16; ++i) {
    (&a.m[0][0])[i] = 0.5f + static_cast<float>(i);
    (&b.m[0][0])[i] = 2.0f - 0.25f * static_cast<float>(i);
  }
  EXPECT_EQ(MathMatrixMultiply(&first, &a, &b), &first);
  EXPECT_GT(fake_.probeCalls, 0);
  EXPECT_EQ(InitMathTable(1), kMathSse2Set);
  EXPECT_EQ(LiveTable(), ExpectedTable(Expect::Sse2));
  MathMatrixMultiply(&second, &a, &b);
  EXPECT_EQ(0, std::memcmp(&first, &second, sizeof first));
}

TEST_F(MathFirstCall, StubsForwardFloatsAndFloatResults) {
  MathMatrix r1, r2;
  MathMatrixRotationY(&r1, 0.75f);  // float argument through the stub
  MathMatrixRotationY(&r2, 0.75f);
  EXPECT_EQ(0, std::memcmp(&r1, &r2, sizeof r1));

  RestoreMathFirstCallStubs();
  const float d1 = MathMatrixDeterminant(&r1);  // float result through the stub
  EXPECT_FLOAT_EQ(d1, MathMatrixDeterminant(&r1));
  EXPECT_NEAR(d1, 1.0f, 1e-6f);

  RestoreMathFirstCallStubs();
  MathQuat q1, q2;
  MathQuatFromYawPitchRoll(&q1, 0.1f, 0.2f, 0.3f);  // three floats
  MathQuatFromYawPitchRoll(&q2, 0.1f, 0.2f, 0.3f);
  EXPECT_EQ(0, std::memcmp(&q1, &q2, sizeof q1));
}

TEST_F(MathFirstCall, SquadSetupAfterFirstUseFindsLogAndExp) {
  const MathQuat q0{0, 0, 0, 1}, q1{0, 0.38268343f, 0, 0.9238795f}, q2{0, 0.70710677f, 0, 0.70710677f},
      q3{0, 0.9238795f, 0, 0.38268343f};
  MathQuat a, b, c;
  MathQuatSquadSetup(&a, &b, &c, &q0, &q1, &q2, &q3);  // first call fills slots 55 and 56
  EXPECT_NE(g_mathRoutines[MathSlot::QuatLog], nullptr);
  // Evenly spaced rotations about one axis: the control points lie on it.
  EXPECT_NEAR(a.y, q1.y, 1e-5f);
  EXPECT_NEAR(b.y, q2.y, 1e-5f);
  EXPECT_EQ(0, std::memcmp(&c, &q2, sizeof c));
}

TEST_F(MathFirstCall, SecondInitKeepsTheFirstState) {
  EXPECT_EQ(InitMathTable(1), kMathSse2Set);
  const int calls = fake_.probeCalls;
  fake_.StandardFeatures(true, true, false);  // a different answer is never asked for
  EXPECT_EQ(InitMathTable(1), kMathSse2Set);
  EXPECT_EQ(fake_.probeCalls, calls);
  EXPECT_EQ(LiveTable(), ExpectedTable(Expect::Sse2));
}

TEST_F(MathFirstCall, ResetPutsPlainRoutinesEverywhereWithoutChoosing) {
  EXPECT_EQ(InitMathTable(1), kMathSse2Set);
  EXPECT_EQ(InitMathTable(0), kMathNotChosen);
  EXPECT_EQ(LiveTable(), std::vector<MathRoutine>(kPlainMathRoutines, kPlainMathRoutines + MathSlot::Count));

  // A call now runs the plain routine directly and chooses nothing.
  const int calls = fake_.probeCalls;
  MathVec3 v{3, 0, 4}, n;
  MathVec3Normalise(&n, &v);
  EXPECT_FLOAT_EQ(n.x, 0.6f);
  EXPECT_EQ(fake_.probeCalls, calls);
  EXPECT_EQ(g_mathRoutines[MathSlot::Vec3Normalise], kPlainMathRoutines[MathSlot::Vec3Normalise]);

  // Only an explicit InitMathTable(1) chooses again.
  fake_.StandardFeatures(true, true, false);
  fake_.osFeatures = {kFeatureSse};
  EXPECT_EQ(InitMathTable(1), kMathSseSet);
  EXPECT_EQ(LiveTable(), ExpectedTable(Expect::Sse));
}

TEST_F(MathFirstCall, EntriesJumpThroughTheLiveSlot) {
  InitMathTable(0);
  // Point slot 11 at another routine: the entry follows the table.
  const MathRoutine saved = g_mathRoutines[MathSlot::MatrixDeterminant];
  PutMathRoutine<MathSlot::MatrixDeterminant>(g_mathRoutines, [](const MathMatrix*) { return 42.0f; });
  MathMatrix m{};
  EXPECT_EQ(MathMatrixDeterminant(&m), 42.0f);
  g_mathRoutines[MathSlot::MatrixDeterminant] = saved;
  EXPECT_EQ(MathMatrixDeterminant(&m), 0.0f);
}
