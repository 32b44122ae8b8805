#pragma once
// Where the archive library's unpacked bytes go: the callback copies each
// chunk to the unpack cursor, a process-wide place set to a member's buffer
// before that member is unpacked. Only one unpack runs at a time.
//
// The cursor knows where the buffer ends: a chunk that would run past it is
// not written, the unpack is marked as overflowed and the library is asked to
// stop, so the member counts as failed.

#include <cstdint>

#include "rar/Unrar.h"

struct CUnpackCursor {
    uint8_t* next;    // where the next chunk goes
    uint8_t* end;     // one past the member's buffer
    bool overflowed;  // the library delivered more than the buffer holds
};

extern CUnpackCursor UnpackCursor;

// Points the cursor at a buffer of size bytes.
void SetUnpackCursor(uint8_t* buffer, int32_t size);

// True when exactly the buffer's bytes were delivered.
bool UnpackCursorFilled();

int CALLBACK UnpackCallback(UINT message, LPARAM userData, LPARAM p1, LPARAM p2);
