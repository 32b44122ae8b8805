#pragma once
// The archive memory cache's table: the members of resources.heap unpacked
// into memory while the engine loads, looked up by normalised name.

#include <cstdint>

struct CCacheEntry {
    enum { kNameSize = 128 };

    char name[kNameSize];  // normalised member name, at most 127 characters
    uint8_t* data;         // unpacked bytes (malloc), owned by the cache
    bool touched;          // served by OpenFile at least once
    int32_t size;          // unpacked size in bytes
};

// A growable array of entries. It does not own the members' data buffers.
struct CCacheTable {
    CCacheEntry* entries = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;

    // Frees the entry array only and leaves the table empty.
    void FreeStorage();
};
