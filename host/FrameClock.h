#pragma once
// Frame timing: milliseconds since time 0 and since the previous frame, in
// 32-bit arithmetic that wraps like the tick counter it comes from.

#include <cstdint>

struct FrameTime {
    int32_t time;   // ms since the start tick
    int32_t delta;  // ms since the previous frame's time
    float seconds;  // delta in seconds
};

// now and start are tick readings; previousTime is the published s_time.
inline FrameTime ComputeFrameTime(uint32_t now, uint32_t start, int32_t previousTime) {
    uint32_t t = now - start;
    uint32_t dt = t - static_cast<uint32_t>(previousTime);
    FrameTime frame;
    frame.time = static_cast<int32_t>(t);
    frame.delta = static_cast<int32_t>(dt);
    frame.seconds = static_cast<float>(frame.delta) * 0.001f;
    return frame;
}
