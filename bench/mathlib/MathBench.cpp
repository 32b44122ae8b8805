// The library's own contenders: the plain, SSE and SSE2 routines (both forms
// of the SSE2 set where the processor runs the VEX one) through a routine
// pointer, and the selected set through the public entries.
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "BenchData.h"
#include "mathlib/CpuFeatures.h"
#include "mathlib/MathTable.h"
#include "mathlib/PlainRoutines.h"
#include "mathlib/VectorMath.h"

namespace {

BenchData MakeData() {
  BenchData d{};
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  for (std::size_t i = 0; i < kRing; ++i) {
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) d.matrices[i].m[r][c] = u(rng) + (r == c ? 2.5f : 0.0f);
    }
    d.vectors[i] = MathVec4{u(rng), u(rng), u(rng), 1.0f + 0.5f * u(rng)};
    MathQuat q{u(rng), u(rng), u(rng), u(rng)};
    mathlib::plain::QuatNormalise(&q, &q);
    d.quats[i] = q;
    mathlib::plain::MatrixRotationQuat(&d.rotations[i], &q);
    d.params[i] = 0.5f + 0.5f * u(rng);
  }
  return d;
}

struct Table {
  const char* name;
  MathRoutine slots[MathSlot::Count];
};

Table MakeTable(const char* name, void (*install)(MathRoutine*)) {
  Table t{name, {}};
  std::memcpy(t.slots, kPlainMathRoutines, sizeof t.slots);
  if (install) install(t.slots);
  return t;
}

// One benchmark per operation and contender: a routine from a table, or
// (selected) a direct call of the public entry, as callers make it.
template <class Fn, class Body>
void Register(const char* operation, const char* contender, Fn fn, Body body) {
  const std::string name = std::string(operation) + "/" + contender;
  benchmark::RegisterBenchmark(name.c_str(), [fn, body](benchmark::State& state) { body(state, fn); });
}

#define STAGEHOST_BENCH_OWN(Name, ...)                                                         \
  if (t) {                                                                                     \
    Register(#Name, t->name, GetMathRoutine<MathSlot::Name>(t->slots), __VA_ARGS__);                \
  } else {                                                                                     \
    Register(#Name, "selected", [](auto... args) { return Math##Name(args...); }, __VA_ARGS__);     \
  }

void RegisterOwn(const Table* t) {
  const BenchData& d = Data();
  STAGEHOST_BENCH_OWN(Vec2Transform, [&d](benchmark::State& s, auto fn) {
    MathVec4 out[kRing];
    OverRing(s, [&](std::size_t i) {
      const MathVec2* v = reinterpret_cast<const MathVec2*>(&d.vectors[i]);
      fn(&out[i], v, &d.matrices[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(Vec3Transform, [&d](benchmark::State& s, auto fn) {
    MathVec4 out[kRing];
    OverRing(s, [&](std::size_t i) {
      const MathVec3* v = reinterpret_cast<const MathVec3*>(&d.vectors[i]);
      fn(&out[i], v, &d.matrices[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(Vec4Transform, [&d](benchmark::State& s, auto fn) {
    MathVec4 out[kRing];
    OverRing(s, [&](std::size_t i) {
      fn(&out[i], &d.vectors[i], &d.matrices[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(Vec2TransformCoord, [&d](benchmark::State& s, auto fn) {
    MathVec2 out[kRing];
    OverRing(s, [&](std::size_t i) {
      const MathVec2* v = reinterpret_cast<const MathVec2*>(&d.vectors[i]);
      fn(&out[i], v, &d.matrices[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(Vec3TransformCoord, [&d](benchmark::State& s, auto fn) {
    MathVec3 out[kRing];
    OverRing(s, [&](std::size_t i) {
      const MathVec3* v = reinterpret_cast<const MathVec3*>(&d.vectors[i]);
      fn(&out[i], v, &d.matrices[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(MatrixMultiply, [&d](benchmark::State& s, auto fn) {
    static MathMatrix out[kRing];
    OverRing(s, [&](std::size_t i) {
      const MathMatrix* b = &d.matrices[(i + 1) % kRing];
      fn(&out[i], &d.matrices[i], b);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(Vec3Normalise, [&d](benchmark::State& s, auto fn) {
    MathVec3 out[kRing];
    OverRing(s, [&](std::size_t i) {
      const MathVec3* v = reinterpret_cast<const MathVec3*>(&d.vectors[i]);
      fn(&out[i], v);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(MatrixInverse, [&d](benchmark::State& s, auto fn) {
    static MathMatrix out[kRing];
    OverRing(s, [&](std::size_t i) {
      fn(&out[i], nullptr, &d.matrices[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(QuatSlerp, [&d](benchmark::State& s, auto fn) {
    MathQuat out[kRing];
    OverRing(s, [&](std::size_t i) {
      const MathQuat* b = &d.quats[(i + 1) % kRing];
      fn(&out[i], &d.quats[i], b, d.params[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(QuatFromRotationMatrix, [&d](benchmark::State& s, auto fn) {
    MathQuat out[kRing];
    OverRing(s, [&](std::size_t i) {
      fn(&out[i], &d.rotations[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  STAGEHOST_BENCH_OWN(MatrixRotationQuat, [&d](benchmark::State& s, auto fn) {
    static MathMatrix out[kRing];
    OverRing(s, [&](std::size_t i) {
      fn(&out[i], &d.quats[i]);
    });
    benchmark::DoNotOptimize(out);
  });
}

}  // namespace

const BenchData& Data() {
  static const BenchData data = MakeData();
  return data;
}

int main(int argc, char** argv) {
  const std::uint32_t state = InitMathTable(1);
  static const Table plain = MakeTable("plain", nullptr);
  static const Table sse = MakeTable("sse", &InstallSseRoutines);
  static const Table sse2 = MakeTable("sse2", &InstallSse2LegacyRoutines);
  for (const Table* t : {&plain, &sse, &sse2}) RegisterOwn(t);
#if STAGEHOST_MATH_VEX
  static const Table sse2Vex = MakeTable("sse2_vex", &InstallSse2VexRoutines);
  if (HasVexFloatUnit()) RegisterOwn(&sse2Vex);
#endif
  RegisterOwn(nullptr);
  RegisterPeerBenchmarks();
  benchmark::AddCustomContext("math_selection_state", std::to_string(state));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
