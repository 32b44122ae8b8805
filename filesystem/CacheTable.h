#pragma once
// The archive memory cache's table: the members of resources.heap unpacked
// into memory while the engine loads, looked up by normalised name.

#include <cstdint>

#include "filesystem/NormalizePath.h"

// One cached member, a plain value copied whole by the table.
struct CCacheEntry {
    // The full normalised name: whatever NormalizePath can hold.
    enum { kNameSize = kNormalizedPathSize };

    char name[kNameSize];  // normalised member name, always terminated
    uint8_t* data;         // unpacked bytes (calloc), owned by the cache
    bool touched;          // served by OpenFile at least once
    int32_t size;          // unpacked size in bytes

    CCacheEntry() : data(nullptr), touched(false), size(0) { name[0] = '\0'; }
};

// A growable array of entries, in the order they were added. It does not own
// the members' data buffers: its destructor frees only the entry array.
class CCacheTable {
public:
    CCacheTable() = default;
    virtual ~CCacheTable();
    CCacheTable(const CCacheTable&) = delete;
    CCacheTable& operator=(const CCacheTable&) = delete;

    // Becomes a copy of other (its entries, count and capacity).
    virtual CCacheTable& Assign(const CCacheTable& other);
    // Adds each of other's entries in order.
    virtual CCacheTable& Append(const CCacheTable& other);

    // Copies entry to the end, growing the array to 8 entries first and then
    // twice its capacity; the new entry's index, or -1 when no room could be
    // allocated (the table is unchanged then).
    int32_t Add(const CCacheEntry& entry);
    // Grows the array to capacity entries; false when that memory cannot be
    // had. Never shrinks.
    bool Reserve(int32_t capacity);
    // Frees the entry array and leaves the table empty.
    void FreeStorage();

    CCacheEntry* entries = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;
};
