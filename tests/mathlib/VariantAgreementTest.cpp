// Every routine of every processor-specific set against the plain routine
// of its slot, on the same random and edge inputs. The inputs are made from
// each slot's signature: const pointers are inputs, other pointers outputs,
// floats are parameters in [0, 1] (or 0 and pi in the edge cases).
//
// Tolerance: each output (a vector, plane, quaternion, matrix or scalar)
// agrees within 2e-5 times its largest component magnitude (at least 1);
// both sides must give a null result together and NaN in the same places.
// The 3DNow! and Athlon rows need a processor that runs them (qemu
// -cpu phenom) and a build that has them (GCC); elsewhere they are skipped.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "BuiltSets.h"
#include "mathlib/CpuFeatures.h"
#include "mathlib/MathTable.h"
#include "mathlib/VectorMath.h"

namespace {

constexpr float kTolerance = 2e-5f;
constexpr float kPi = 3.14159265f;
constexpr int kRandomRounds = 300;

enum class Scenario { Random, Identity, ZeroAndSingular, NearlyParallel, Opposite };
constexpr Scenario kScenarios[] = {Scenario::Random, Scenario::Identity, Scenario::ZeroAndSingular,
                                   Scenario::NearlyParallel, Scenario::Opposite};

// Makes inputs; quaternions of one call are correlated in the parallel and
// opposite scenarios (all near one base rotation).
class Inputs {
 public:
  Inputs(std::mt19937& rng, Scenario s) : rng_(rng), s_(s) { base_ = UnitQuat(); }

  float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }

  void Fill(float& f) {
    switch (s_) {
      case Scenario::Identity:
        f = 0.0f;
        break;
      case Scenario::ZeroAndSingular:
        f = kPi;
        break;
      case Scenario::NearlyParallel:
        f = 0.5f;
        break;
      default:
        f = Uniform(0.0f, 1.0f);
    }
  }
  void Fill(MathVec2& v) { v = s_ == Scenario::ZeroAndSingular ? MathVec2{0, 0} : MathVec2{U(), U()}; }
  void Fill(MathVec3& v) { v = s_ == Scenario::ZeroAndSingular ? MathVec3{0, 0, 0} : MathVec3{U(), U(), U()}; }
  void Fill(MathVec4& v) {
    v = s_ == Scenario::ZeroAndSingular ? MathVec4{0, 0, 0, 0} : MathVec4{U(), U(), U(), U() + 2.0f};
  }
  void Fill(MathPlane& p) { p = s_ == Scenario::ZeroAndSingular ? MathPlane{0, 0, 0, 0} : MathPlane{U(), U(), U(), U()}; }
  void Fill(MathQuat& q) {
    switch (s_) {
      case Scenario::Identity:
        q = MathQuat{0, 0, 0, 1};
        break;
      case Scenario::ZeroAndSingular:
        q = MathQuat{0, 0, 0, 0};
        break;
      case Scenario::NearlyParallel:
        q = Nudged(base_, 1.0f);
        break;
      case Scenario::Opposite:
        q = Nudged(base_, (flip_ = !flip_) ? -1.0f : 1.0f);
        break;
      default:
        q = UnitQuat();
    }
  }
  void Fill(MathMatrix& m) {
    switch (s_) {
      case Scenario::Identity:
        m = MathMatrix{};
        for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
        break;
      case Scenario::ZeroAndSingular:
        RandomMatrix(m);
        for (int j = 0; j < 4; ++j) m.m[3][j] = m.m[2][j];  // two equal rows
        break;
      default:
        RandomMatrix(m);
    }
  }
  void Fill(MathViewport& v) { v = MathViewport{16, 8, 640, 480, 0.25f, 1.0f}; }

 private:
  float U() { return Uniform(-1.0f, 1.0f); }
  // Well conditioned, and with a last column near (0, 0, 0, 2.5) so that
  // the w of a transformed point stays away from 0: the tests compare the
  // routines, not the conditioning of the inputs.
  void RandomMatrix(MathMatrix& m) {
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) m.m[i][j] = (j == 3 && i < 3 ? 0.1f : 1.0f) * U() + (i == j ? 2.5f : 0.0f);
    }
  }
  MathQuat UnitQuat() {
    MathQuat q{U(), U(), U(), U()};
    const float k = 1.0f / std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w + 1e-12f);
    return MathQuat{q.x * k, q.y * k, q.z * k, q.w * k};
  }
  MathQuat Nudged(const MathQuat& q, float sign) {
    MathQuat r{sign * q.x + 1e-5f * U(), sign * q.y + 1e-5f * U(), sign * q.z + 1e-5f * U(), sign * q.w};
    const float k = 1.0f / std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z + r.w * r.w);
    return MathQuat{r.x * k, r.y * k, r.z * k, r.w * k};
  }

  std::mt19937& rng_;
  Scenario s_;
  MathQuat base_;
  bool flip_ = false;
};

// One call's outputs: a list of output records.
using Outputs = std::vector<std::vector<float>>;

template <class T>
void Push(Outputs& o, const T& value) {
  std::vector<float> f(sizeof(T) / sizeof(float));
  std::memcpy(f.data(), &value, sizeof(T));
  o.push_back(std::move(f));
}

template <class T>
struct Arg;
template <>
struct Arg<float> {
  float v;
  void Make(Inputs& in) { in.Fill(v); }
  float Get() { return v; }
  void Collect(Outputs&) const {}
};
template <class T>
struct Arg<const T*> {
  T v;
  void Make(Inputs& in) { in.Fill(v); }
  const T* Get() { return &v; }
  void Collect(Outputs&) const {}
};
template <class T>
struct Arg<T*> {
  T v;
  void Make(Inputs&) { std::memset(&v, 0x7F, sizeof v); }  // sentinel: untouched outputs must agree
  T* Get() { return &v; }
  void Collect(Outputs& o) const { Push(o, v); }
};

template <class R, class... A>
struct Call {
  using Args = std::tuple<Arg<A>...>;

  static Args Make(Inputs& in) {
    Args args;
    std::apply([&](auto&... a) { (a.Make(in), ...); }, args);
    return args;
  }

  static Outputs Run(MathRoutine routine, Args args) {
    auto fn = reinterpret_cast<R (*)(A...)>(routine);
    Outputs out;
    if constexpr (std::is_void_v<R>) {
      std::apply([&](auto&... a) { fn(a.Get()...); }, args);
    } else {
      const R r = std::apply([&](auto&... a) { return fn(a.Get()...); }, args);
      if constexpr (std::is_pointer_v<R>) {
        out.push_back({r == nullptr ? 0.0f : 1.0f});
      } else {
        out.push_back({r});
      }
    }
    std::apply([&](auto&... a) { (a.Collect(out), ...); }, args);
    return out;
  }
};

template <class Fn>
struct CallOf;
template <class R, class... A>
struct CallOf<R(A...)> {
  using type = Call<R, A...>;
};

std::string Describe(const std::vector<float>& v) {
  std::string s;
  for (float f : v) s += std::to_string(f) + " ";
  return s;
}

void ExpectAgree(const Outputs& expected, const Outputs& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& e = expected[i];
    const auto& a = actual[i];
    float scale = 1.0f;
    for (float f : e) {
      if (std::isfinite(f)) scale = std::fmax(scale, std::fabs(f));
    }
    for (size_t j = 0; j < e.size(); ++j) {
      if (std::isnan(e[j])) {
        EXPECT_TRUE(std::isnan(a[j])) << "output " << i << "[" << j << "]";
        continue;
      }
      EXPECT_NEAR(a[j], e[j], kTolerance * scale)
          << "output " << i << "[" << j << "]: plain " << Describe(e) << "/ variant " << Describe(a);
    }
  }
}

template <int Slot>
void CompareSlot(MathRoutine plain, MathRoutine variant, std::mt19937& rng) {
  using C = typename CallOf<typename MathSlotType<Slot>::Fn>::type;
  for (Scenario s : kScenarios) {
    const int rounds = s == Scenario::Random ? kRandomRounds : 8;
    for (int round = 0; round < rounds; ++round) {
      Inputs in(rng, s);
      const auto args = C::Make(in);
      SCOPED_TRACE(testing::Message() << "scenario " << static_cast<int>(s) << " round " << round);
      ExpectAgree(C::Run(plain, args), C::Run(variant, args));
      if (::testing::Test::HasFailure()) return;
    }
  }
}

using Comparer = void (*)(MathRoutine, MathRoutine, std::mt19937&);
template <int... S>
constexpr std::array<Comparer, sizeof...(S)> Comparers(std::integer_sequence<int, S...>) {
  return {&CompareSlot<S>...};
}
const auto kComparers = Comparers(std::make_integer_sequence<int, MathSlot::Count>());

struct VariantSet {
  const char* name;
  void (*install)(MathRoutine*);
  int slots;
  bool needs3DNow, needsAthlon;
  bool needsVex = false;
};
void PrintTo(const VariantSet& c, std::ostream* os) { *os << c.name; }

bool Runs3DNow(bool athlon) {
  if (!(athlon ? AthlonRoutinesBuilt() : Amd3DNowRoutinesBuilt())) return false;
  const std::uint32_t bits = Probe3DNow();
  const bool base = (bits & kProbeMmx) && (bits & kProbe3DNow);
  return athlon ? base && (bits & kProbe3DNowExt) && (bits & kProbeMmxExt) : base;
}

// Why this build on this processor cannot run a set's code (empty: it can).
std::string NotRunnableHere(const VariantSet& set) {
  if ((set.needs3DNow || set.needsAthlon) && !Runs3DNow(set.needsAthlon)) {
    return std::string(Amd3DNowRoutinesBuilt() ? "this processor does not run " : "this build has no ") + set.name +
           " code (run the emulated test of a GCC build)";
  }
  if (set.needsVex && !HasVexFloatUnit()) return "this processor has no AVX2 and FMA";
  return "";
}

// Every routine set a processor may get (the 3DNow! rows run under qemu
// -cpu phenom, the VEX row where the processor has AVX2 and FMA).
const VariantSet kProcessorSets[] = {
    {"Scalar", &InstallScalarRoutines, 8, false, false},
    {"Sse", &InstallSseRoutines, 33, false, false},
    {"Sse2", &InstallSse2LegacyRoutines, 34, false, false},
#if STAGEHOST_MATH_VEX
    {"Sse2Vex", &InstallSse2VexRoutines, 34, false, false, true},
#endif
    {"Amd3DNow", &FillAmd3DNowRoutines, 57, true, false},
    {"Athlon", &InstallAthlonRoutines, 5, false, true},
};

std::vector<VariantSet> PlainAndProcessorSets() {
  std::vector<VariantSet> sets{{"Plain", [](MathRoutine*) {}, 0, false, false}};
  sets.insert(sets.end(), std::begin(kProcessorSets), std::end(kProcessorSets));
  return sets;
}

class VariantAgreement : public ::testing::TestWithParam<VariantSet> {};

TEST_P(VariantAgreement, EveryRoutineMatchesThePlainOne) {
  const VariantSet& set = GetParam();
  if (const std::string why = NotRunnableHere(set); !why.empty()) GTEST_SKIP() << why;
  InitMathTable(0);  // slots 55 and 56 filled: the plain squad set-up calls them
  MathRoutine table[MathSlot::Count];
  std::memcpy(table, kPlainMathRoutines, sizeof table);
  set.install(table);
  std::mt19937 rng(20261207);
  int compared = 0;
  for (int slot = 0; slot < MathSlot::Count; ++slot) {
    if (table[slot] == kPlainMathRoutines[slot]) continue;
    SCOPED_TRACE(testing::Message() << set.name << " slot " << slot);
    kComparers[slot](kPlainMathRoutines[slot], table[slot], rng);
    ++compared;
    if (HasFailure()) break;
  }
  EXPECT_EQ(compared, set.slots);
}

INSTANTIATE_TEST_SUITE_P(Sets, VariantAgreement, ::testing::ValuesIn(kProcessorSets),
                         [](const ::testing::TestParamInfo<VariantSet>& info) { return std::string(info.param.name); });

// Outputs may alias inputs: the product and the inverse written over an
// operand give what they give into a separate matrix.
class VariantAliasing : public ::testing::TestWithParam<VariantSet> {};

TEST_P(VariantAliasing, ProductAndInverseInPlace) {
  const VariantSet& set = GetParam();
  if (const std::string why = NotRunnableHere(set); !why.empty()) GTEST_SKIP() << why;
  MathRoutine table[MathSlot::Count];
  std::memcpy(table, kPlainMathRoutines, sizeof table);
  set.install(table);
  MathMatrix a, b;
  for (int i = 0; i < 16; ++i) {
    (&a.m[0][0])[i] = std::sin(1.0f + static_cast<float>(i)) + (i % 5 == 0 ? 3.0f : 0.0f);
    (&b.m[0][0])[i] = std::cos(2.0f * static_cast<float>(i)) + (i % 5 == 0 ? 2.0f : 0.0f);
  }
  const auto multiply = GetMathRoutine<MathSlot::MatrixMultiply>(table);
  const auto inverse = GetMathRoutine<MathSlot::MatrixInverse>(table);
  MathMatrix separate, left = a, right = b, inv, invInPlace = a;
  multiply(&separate, &a, &b);
  multiply(&left, &left, &b);
  multiply(&right, &a, &right);
  EXPECT_EQ(0, std::memcmp(&separate, &left, sizeof separate));
  EXPECT_EQ(0, std::memcmp(&separate, &right, sizeof separate));
  ASSERT_NE(inverse(&inv, nullptr, &a), nullptr);
  ASSERT_NE(inverse(&invInPlace, nullptr, &invInPlace), nullptr);
  EXPECT_EQ(0, std::memcmp(&inv, &invInPlace, sizeof inv));
}

// Squaring in place: out, a and b all the same matrix.
TEST_P(VariantAliasing, SquareInPlace) {
  const VariantSet& set = GetParam();
  if (const std::string why = NotRunnableHere(set); !why.empty()) GTEST_SKIP() << why;
  MathRoutine table[MathSlot::Count];
  std::memcpy(table, kPlainMathRoutines, sizeof table);
  set.install(table);
  MathMatrix a;
  for (int i = 0; i < 16; ++i) (&a.m[0][0])[i] = std::sin(0.5f + static_cast<float>(i)) + (i % 5 == 0 ? 2.0f : 0.0f);
  const auto multiply = GetMathRoutine<MathSlot::MatrixMultiply>(table);
  MathMatrix separate, same = a;
  multiply(&separate, &a, &a);
  multiply(&same, &same, &same);
  EXPECT_EQ(0, std::memcmp(&separate, &same, sizeof separate));
}

INSTANTIATE_TEST_SUITE_P(Sets, VariantAliasing, ::testing::ValuesIn(PlainAndProcessorSets()),
                         [](const ::testing::TestParamInfo<VariantSet>& info) { return std::string(info.param.name); });

#if STAGEHOST_MATH_VEX
// Both forms of the SSE2 set give the same inverse, bit for bit, and find
// the same matrices singular: a processor with AVX2 changes the speed of the
// inverse, not its results. Random matrices, and ones with two equal rows
// (where a fused multiply-subtract would leave tiny non-zero minors).
TEST(Sse2Forms, InverseIsTheSameInBothForms) {
  if (!HasVexFloatUnit()) GTEST_SKIP() << "this processor has no AVX2 and FMA";
  MathRoutine legacy[MathSlot::Count], vex[MathSlot::Count];
  std::memcpy(legacy, kPlainMathRoutines, sizeof legacy);
  std::memcpy(vex, kPlainMathRoutines, sizeof vex);
  InstallSse2LegacyRoutines(legacy);
  InstallSse2VexRoutines(vex);
  const auto inverseA = GetMathRoutine<MathSlot::MatrixInverse>(legacy);
  const auto inverseB = GetMathRoutine<MathSlot::MatrixInverse>(vex);
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  int singular = 0;
  for (int round = 0; round < 700; ++round) {
    MathMatrix m;
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) m.m[i][j] = u(rng) + (i == j ? 2.5f : 0.0f);
    }
    const int copy = round % 7;  // 0-5: one of the six pairs of rows made equal
    if (copy < 6) {
      static const int pairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
      std::memcpy(m.m[pairs[copy][1]], m.m[pairs[copy][0]], sizeof m.m[0]);
    }
    MathMatrix a, b;
    std::memset(&a, 0x55, sizeof a);
    std::memset(&b, 0x55, sizeof b);
    float detA = 0.0f, detB = 1.0f;
    const bool nullA = inverseA(&a, &detA, &m) == nullptr;
    const bool nullB = inverseB(&b, &detB, &m) == nullptr;
    ASSERT_EQ(nullA, nullB) << "round " << round;
    ASSERT_EQ(0, std::memcmp(&detA, &detB, sizeof detA)) << "round " << round;
    ASSERT_EQ(0, std::memcmp(&a, &b, sizeof a)) << "round " << round;
    singular += nullA;
  }
  EXPECT_GE(singular, 100);  // every matrix with rows 2 and 3 equal, at least
}
#endif

}  // namespace
