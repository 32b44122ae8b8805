// The same operations done by GLM (SIMD paths on, aligned types) and Eigen,
// on the same data. Memory layouts match: our row-major matrix with row
// vectors is GLM's column-major matrix with column vectors, so v * M is
// M_glm * v and A * B is B_glm * A_glm; Eigen uses row-major matrices and
// row vectors directly.
#define GLM_FORCE_INTRINSICS
#define GLM_FORCE_DEFAULT_ALIGNED_GENTYPES
#define GLM_FORCE_QUAT_DATA_XYZW
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <Eigen/Dense>
#include <Eigen/Geometry>

#include <cstring>
#include <string>
#include <type_traits>

#include "BenchData.h"

namespace {

using EMat = Eigen::Matrix<float, 4, 4, Eigen::RowMajor>;
using ERow = Eigen::Matrix<float, 1, 4>;

// Peer copies of the shared data in each library's own types.
struct GlmData {
  glm::mat4 matrices[kRing];
  glm::mat4 rotations[kRing];
  glm::vec4 vectors[kRing];
  glm::quat quats[kRing];
};
struct EigenData {
  EMat matrices[kRing];
  Eigen::Matrix3f rotations[kRing];
  ERow vectors[kRing];
  Eigen::Quaternionf quats[kRing];
};

const GlmData& Glm() {
  static const GlmData* g = [] {
    auto* g = new GlmData;
    const BenchData& d = Data();
    for (std::size_t i = 0; i < kRing; ++i) {
      g->matrices[i] = glm::make_mat4(&d.matrices[i].m[0][0]);
      g->rotations[i] = glm::make_mat4(&d.rotations[i].m[0][0]);
      g->vectors[i] = glm::make_vec4(&d.vectors[i].x);
      g->quats[i] = glm::quat(d.quats[i].w, d.quats[i].x, d.quats[i].y, d.quats[i].z);
    }
    return g;
  }();
  return *g;
}

const EigenData& Eig() {
  static const EigenData* e = [] {
    auto* e = new EigenData;
    const BenchData& d = Data();
    for (std::size_t i = 0; i < kRing; ++i) {
      std::memcpy(e->matrices[i].data(), &d.matrices[i], 64);
      for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) e->rotations[i](r, c) = d.rotations[i].m[r][c];
      }
      std::memcpy(e->vectors[i].data(), &d.vectors[i], 16);
      e->quats[i] = Eigen::Quaternionf(d.quats[i].w, d.quats[i].x, d.quats[i].y, d.quats[i].z);
    }
    return e;
  }();
  return *e;
}

// A peer's operation inline in the loop (as its users write it), or behind
// an out-of-line call ("_call"), the calling shape of the library's entries.
template <class F>
__attribute__((noinline)) void OutOfLine(const F& f) {
  f();
}
template <bool Called, class F>
inline void Do(const F& f) {
  if constexpr (Called) {
    OutOfLine(f);
  } else {
    f();
  }
}

// One iteration of a peer's loop: its operation inline or behind a call.
template <bool Called, class Step>
void PeerLoop(benchmark::State& s, Step step) {
  OverRing(s, [&](std::size_t i) { Do<Called>([&] { step(i); }); });
}

template <class Body>
void Add(const char* name, Body body) {
  benchmark::RegisterBenchmark(name, [body](benchmark::State& s) { body(s, std::false_type{}); });
  benchmark::RegisterBenchmark((std::string(name) + "_call").c_str(),
                               [body](benchmark::State& s) { body(s, std::true_type{}); });
}

void RegisterGlm() {
  Add("Vec2Transform/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::vec4 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = g.matrices[i] * glm::vec4(g.vectors[i].x, g.vectors[i].y, 0.0f, 1.0f);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec3Transform/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::vec4 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = g.matrices[i] * glm::vec4(glm::vec3(g.vectors[i]), 1.0f);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec4Transform/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::vec4 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = g.matrices[i] * g.vectors[i];
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec2TransformCoord/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::vec2 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      const glm::vec4 r = g.matrices[i] * glm::vec4(g.vectors[i].x, g.vectors[i].y, 0.0f, 1.0f);
      out[i] = glm::vec2(r) / r.w;
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec3TransformCoord/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::vec3 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      const glm::vec4 r = g.matrices[i] * glm::vec4(glm::vec3(g.vectors[i]), 1.0f);
      out[i] = glm::vec3(r) / r.w;
    });
    benchmark::DoNotOptimize(out);
  });
  Add("MatrixMultiply/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::mat4 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = g.matrices[(i + 1) % kRing] * g.matrices[i];
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec3Normalise/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::vec3 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = glm::normalize(glm::vec3(g.vectors[i]));
    });
    benchmark::DoNotOptimize(out);
  });
  Add("MatrixInverse/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::mat4 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = glm::inverse(g.matrices[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("QuatSlerp/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    const BenchData& d = Data();
    static glm::quat out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = glm::slerp(g.quats[i], g.quats[(i + 1) % kRing], d.params[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("QuatFromRotationMatrix/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::quat out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = glm::quat_cast(g.rotations[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("MatrixRotationQuat/glm", [](benchmark::State& s, auto called) {
    const GlmData& g = Glm();
    static glm::mat4 out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = glm::mat4_cast(g.quats[i]);
    });
    benchmark::DoNotOptimize(out);
  });
}

void RegisterEigen() {
  Add("Vec2Transform/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static ERow out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i].noalias() = ERow(e.vectors[i](0), e.vectors[i](1), 0.0f, 1.0f) * e.matrices[i];
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec3Transform/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static ERow out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i].noalias() = ERow(e.vectors[i](0), e.vectors[i](1), e.vectors[i](2), 1.0f) * e.matrices[i];
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec4Transform/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static ERow out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i].noalias() = e.vectors[i] * e.matrices[i];
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec2TransformCoord/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static Eigen::RowVector2f out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      const ERow r = ERow(e.vectors[i](0), e.vectors[i](1), 0.0f, 1.0f) * e.matrices[i];
      out[i] = r.head<2>() / r(3);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec3TransformCoord/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static Eigen::RowVector3f out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      const ERow r = ERow(e.vectors[i](0), e.vectors[i](1), e.vectors[i](2), 1.0f) * e.matrices[i];
      out[i] = r.head<3>() / r(3);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("MatrixMultiply/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static EMat out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i].noalias() = e.matrices[i] * e.matrices[(i + 1) % kRing];
    });
    benchmark::DoNotOptimize(out);
  });
  Add("Vec3Normalise/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static Eigen::Vector3f out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = e.vectors[i].head<3>().transpose().normalized();
    });
    benchmark::DoNotOptimize(out);
  });
  Add("MatrixInverse/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static EMat out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = e.matrices[i].inverse();
    });
    benchmark::DoNotOptimize(out);
  });
  Add("QuatSlerp/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    const BenchData& d = Data();
    static Eigen::Quaternionf out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = e.quats[i].slerp(d.params[i], e.quats[(i + 1) % kRing]);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("QuatFromRotationMatrix/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static Eigen::Quaternionf out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      out[i] = Eigen::Quaternionf(e.rotations[i]);
    });
    benchmark::DoNotOptimize(out);
  });
  Add("MatrixRotationQuat/eigen", [](benchmark::State& s, auto called) {
    const EigenData& e = Eig();
    static EMat out[kRing];
    PeerLoop<decltype(called)::value>(s, [&](std::size_t i) {
      EMat m = EMat::Identity();
      m.topLeftCorner<3, 3>() = e.quats[i].toRotationMatrix();
      out[i] = m;
    });
    benchmark::DoNotOptimize(out);
  });
}

}  // namespace

void RegisterPeerBenchmarks() {
  RegisterGlm();
  RegisterEigen();
}
