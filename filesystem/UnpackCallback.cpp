#include "filesystem/UnpackCallback.h"

#include <cstring>

CUnpackCursor UnpackCursor = {nullptr, nullptr, false};

void SetUnpackCursor(uint8_t* buffer, int32_t size) {
    UnpackCursor.next = buffer;
    UnpackCursor.end = buffer + size;
    UnpackCursor.overflowed = false;
}

bool UnpackCursorFilled() { return !UnpackCursor.overflowed && UnpackCursor.next == UnpackCursor.end; }

int CALLBACK UnpackCallback(UINT message, LPARAM, LPARAM p1, LPARAM p2) {
    if (message != UCM_PROCESSDATA) return 1;
    if (p2 <= 0) return 1;
    const size_t count = static_cast<size_t>(p2);
    if (UnpackCursor.overflowed || count > static_cast<size_t>(UnpackCursor.end - UnpackCursor.next)) {
        UnpackCursor.overflowed = true;
        return -1;  // stop: the member is longer than its header says
    }
    std::memcpy(UnpackCursor.next, reinterpret_cast<const void*>(p1), count);
    UnpackCursor.next += count;
    return 1;
}
