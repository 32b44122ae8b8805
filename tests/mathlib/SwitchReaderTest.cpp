// The Linux switch reader: environment variables holding plain decimal
// numbers; anything else counts as absent.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeSystem.h"
#include "mathlib/VectorMath.h"

namespace {

struct EnvCase {
  const char* text;  // null: unset
  bool present;
  std::uint32_t value;
};

const char kName[] = "DisableMathCpuPaths";

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* text) : name_(name) {
    if (text) {
      setenv(name, text, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() { unsetenv(name_); }

 private:
  const char* name_;
};

}  // namespace

TEST(CpuPathSwitchLinux, OnlyPlainDecimalNumbersCount) {
  const EnvCase cases[] = {
      {nullptr, false, 0},   {"", false, 0},         {"1", true, 1},         {"0", true, 0},
      {"007", true, 7},      {"4294967295", true, 0xFFFFFFFFu},             {"4294967296", false, 0},
      {"99999999999999999999", false, 0},            {"1.0", false, 0},      {" 1", false, 0},
      {"1 ", false, 0},      {"+1", false, 0},       {"-1", false, 0},       {"0x1", false, 0},
      {"yes", false, 0},
  };
  for (const EnvCase& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(unset)");
    ScopedEnv env(kName, c.text);
    std::uint32_t value = 12345;
    EXPECT_EQ(ReadPlatformCpuPathSwitch(kName, &value), c.present ? 1 : 0);
    EXPECT_EQ(value, c.present ? c.value : 12345u);
  }
}

// Through the real reader: a 1 that is not a plain number counts as absent.
TEST(CpuPathSwitchLinux, MalformedOneDoesNotDisable) {
  FakeSystem fake;
  fake.PlainIntelLike();
  MathProbes().readSwitch = &ReadPlatformCpuPathSwitch;
  {
    ScopedEnv math(kName, "1.0");
    EXPECT_EQ(InitMathTable(1), kMathSse2Set);
  }
  InitMathTable(0);
  {
    ScopedEnv math(kName, "1");
    EXPECT_EQ(InitMathTable(1), kMathPlainSet);
  }
  InitMathTable(0);
  {
    ScopedEnv cpu("DisableCpuPaths", "1");
    ScopedEnv math(kName, "0");
    EXPECT_EQ(InitMathTable(1), kMathSse2Set);
  }
}
