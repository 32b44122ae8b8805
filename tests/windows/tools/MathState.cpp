// mathstate: what the math library decides in this process: the two
// switches as read, the processor features as the system reports them, and
// the routine set chosen by the first call of an operation, e.g.
//   DisableCpuPaths=- DisableMathCpuPaths=1 sse=1 sse2=1 3dnow=0 state=0 normalised=0.6,0.8,0
// ("-" for a switch that counts as absent).
#include <cstdio>

#include "mathlib/CpuFeatures.h"
#include "mathlib/VectorMath.h"

namespace {

void PrintSwitch(const char* name) {
    std::uint32_t value = 0;
    if (ReadCpuPathSwitch(name, &value))
        std::printf("%s=%u ", name, static_cast<unsigned>(value));
    else
        std::printf("%s=- ", name);
}

}  // namespace

int main() {
    // The first call of any operation makes the choice.
    MathVec3 v{3.0f, 4.0f, 0.0f};
    MathVec3 n{};
    MathVec3Normalise(&n, &v);
    std::uint32_t state = InitMathTable(1);

    PrintSwitch("DisableCpuPaths");
    PrintSwitch("DisableMathCpuPaths");
    std::printf("sse=%d sse2=%d 3dnow=%d state=%u normalised=%g,%g,%g\n", HasProcessorFeature(kFeatureSse),
                HasProcessorFeature(kFeatureSse2), HasProcessorFeature(kFeatureAmd3DNow),
                static_cast<unsigned>(state), n.x, n.y, n.z);
    return 0;
}
