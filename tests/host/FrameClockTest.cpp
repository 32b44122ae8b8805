// Frame timing in wrapping 32-bit tick arithmetic.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/FrameClock.h"

namespace {

struct Case {
    uint32_t now, start;
    int32_t previous;
    int32_t time, delta;
};

TEST(FrameClock, ElapsedTimeAndIntervalWrapLikeTheTick) {
    const Case cases[] = {
        {1000, 1000, 0, 0, 0},                  // the first frame at time 0
        {1250, 1000, 0, 250, 250},              // first frame: the interval is the time
        {1266, 1000, 250, 266, 16},             // a later frame
        {5, 0xFFFFFFF0u, 0, 21, 21},            // the tick wrapped after the start
        {0x00000010u, 0xFFFFFF00u, 200, 272, 72},
        {0x7FFFFFFFu, 0, 0x7FFFFFF0, 0x7FFFFFFF, 15},
    };
    for (const Case& c : cases) {
        FrameTime f = ComputeFrameTime(c.now, c.start, c.previous);
        EXPECT_EQ(f.time, c.time) << c.now << " - " << c.start;
        EXPECT_EQ(f.delta, c.delta) << c.now << " - " << c.start;
        EXPECT_FLOAT_EQ(f.seconds, static_cast<float>(c.delta) * 0.001f);
    }
}

TEST(FrameClock, IntervalFollowsThePublishedTimeNotAPrivateCopy) {
    // Someone (the engine) wrote s_time: the next interval is measured from it.
    FrameTime f = ComputeFrameTime(2000, 1000, 900);
    EXPECT_EQ(f.time, 1000);
    EXPECT_EQ(f.delta, 100);
    f = ComputeFrameTime(2000, 1000, 1200);
    EXPECT_EQ(f.delta, -200);
}

}  // namespace
