// Shared inputs of the math benchmarks: a ring of well-conditioned random
// matrices, vectors and unit quaternions, the same for every contender.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>

#include "mathlib/MathTypes.h"

constexpr std::size_t kRing = 256;  // fits in L1 with room to spare

struct alignas(16) BenchData {
  MathMatrix matrices[kRing];
  MathMatrix rotations[kRing];
  MathVec4 vectors[kRing];
  MathQuat quats[kRing];
  float params[kRing];
};

const BenchData& Data();

// The benchmark loop of every contender: step(i) once per iteration, i
// walking the ring of inputs.
template <class Step>
inline void OverRing(benchmark::State& s, Step step) {
  std::size_t i = 0;
  for (auto _ : s) {
    step(i);
    i = (i + 1) % kRing;
  }
}

// Registers one contender of an operation: "<operation>/<contender>".
void RegisterPeerBenchmarks();
