// The choice on the processor the tests run on: natively an x86-64 without
// 3DNow! (state 2); under qemu-x86_64 -cpu phenom, 3DNow! with the Athlon
// extensions (state 1). STAGEHOST_MATH_REQUIRE_3DNOW=1 (set by the emulated
// test run) turns a processor without 3DNow! into a failure instead of the
// native expectation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "mathlib/CpuFeatures.h"
#include "mathlib/MathTable.h"
#include "mathlib/VectorMath.h"

namespace {

bool Require3DNow() {
  const char* v = std::getenv("STAGEHOST_MATH_REQUIRE_3DNOW");
  return v && std::strcmp(v, "1") == 0;
}

}  // namespace

TEST(RealProcessor, ChoosesTheBestSet) {
  InitMathTable(0);
  const std::uint32_t bits = Probe3DNow();
  const bool has3DNow = (bits & kProbeMmx) && (bits & kProbe3DNow);
  const bool athlon = has3DNow && (bits & kProbe3DNowExt) && (bits & kProbeMmxExt);
  if (Require3DNow()) {
    ASSERT_TRUE(athlon) << "the emulated processor should report 3DNow! and its extensions";
  }
  const std::uint32_t state = InitMathTable(1);
  MathRoutine expected[MathSlot::Count];
  std::memcpy(expected, kPlainMathRoutines, sizeof expected);
  InstallScalarRoutines(expected);
  if (has3DNow) {
    EXPECT_EQ(state, kMathAmd3DNowSet);
    FillAmd3DNowRoutines(expected);
    if (athlon) InstallAthlonRoutines(expected);
  } else {
    // Every x86-64 processor has SSE2.
    EXPECT_EQ(state, kMathSse2Set);
    InstallSse2Routines(expected);
  }
  EXPECT_EQ(0, std::memcmp(expected, g_mathRoutines, sizeof expected));

  // The chosen routines work through the public entries.
  MathMatrix m;
  MathMatrixRotationZ(&m, 1.5707964f);
  const MathVec3 v{1, 0, 0};
  MathVec4 r;
  MathVec3Transform(&r, &v, &m);
  EXPECT_NEAR(r.x, 0.0f, 1e-6f);
  EXPECT_NEAR(r.y, 1.0f, 1e-6f);
  MathMatrix inverse;
  ASSERT_NE(MathMatrixInverse(&inverse, nullptr, &m), nullptr);
  EXPECT_NEAR(inverse.m[0][1], -1.0f, 1e-6f);
  InitMathTable(0);
}
