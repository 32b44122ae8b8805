#pragma once
// The millisecond tick: a 32-bit count from a monotonic clock that wraps after
// about 49.7 days. Elapsed time is the unsigned difference of two ticks.

#include <cstdint>

uint32_t GetMillisecondTick();
