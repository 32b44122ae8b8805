#include "platform/Tick.h"

#include <windows.h>

// The system's own 32-bit millisecond counter; it wraps after about 49.7 days.
uint32_t GetMillisecondTick() { return GetTickCount(); }
