#include "filesystem/CacheTable.h"

#include <climits>
#include <cstddef>
#include <new>

CCacheTable::~CCacheTable() { delete[] entries; }

CCacheTable& CCacheTable::Assign(const CCacheTable& other) {
    if (&other == this) return *this;
    FreeStorage();
    if (other.capacity > 0 && Reserve(other.capacity)) {
        for (int32_t i = 0; i < other.count; ++i) entries[i] = other.entries[i];
        count = other.count;
    }
    return *this;
}

CCacheTable& CCacheTable::Append(const CCacheTable& other) {
    const int32_t n = other.count;  // other may be this table
    for (int32_t i = 0; i < n; ++i) {
        if (Add(other.entries[i]) < 0) break;
    }
    return *this;
}

int32_t CCacheTable::Add(const CCacheEntry& entry) {
    if (count >= capacity) {
        if (capacity > INT32_MAX / 2) return -1;
        // entry may live in this table's array: copy it before growing.
        const CCacheEntry copy = entry;
        if (!Reserve(capacity == 0 ? 8 : capacity * 2)) return -1;
        entries[count] = copy;
    } else {
        entries[count] = entry;
    }
    return count++;
}

bool CCacheTable::Reserve(int32_t newCapacity) {
    if (newCapacity <= capacity) return true;
    CCacheEntry* grown = new (std::nothrow) CCacheEntry[static_cast<std::size_t>(newCapacity)];
    if (!grown) return false;
    for (int32_t i = 0; i < count; ++i) grown[i] = entries[i];
    delete[] entries;
    entries = grown;
    capacity = newCapacity;
    return true;
}

void CCacheTable::FreeStorage() {
    delete[] entries;
    entries = nullptr;
    count = 0;
    capacity = 0;
}
