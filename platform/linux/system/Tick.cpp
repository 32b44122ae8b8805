#include "platform/Tick.h"

#include <time.h>

uint32_t GetMillisecondTick() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Unsigned arithmetic: the count wraps modulo 2^32 like a 32-bit counter.
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}
