#pragma once
// Keyed arrays: growable arrays of entries that each carry a float key and a
// value (a track of key frames, for instance). Stored in binary data files by
// FileWriteKeys / FileReadKeys (BinaryFile.h).
//
// Growth: Reserve(n) only ever grows the storage; adding to a full array
// (Add, FileReadKeys) doubles the capacity, starting at 8: 8, 16, 32, ...
// The array owns its storage and frees it when destroyed; it can be moved but
// not copied.

#include "framework/MathTypes.h"

#include <climits>
#include <utility>

// Entry types. A new entry has its key and its value set to 0.
struct CKeyedVector3
{
    float key = 0.0f;
    CVector3 value = {0.0f, 0.0f, 0.0f};
};

struct CKeyedVector4
{
    float key = 0.0f;
    CVector4 value = {0.0f, 0.0f, 0.0f, 0.0f};
};

struct CKeyedFloat
{
    float key = 0.0f;
    float value = 0.0f;
};

static_assert(sizeof(CKeyedVector3) == 16, "key and three floats");
static_assert(sizeof(CKeyedVector4) == 20, "key and four floats");
static_assert(sizeof(CKeyedFloat) == 8, "key and one float");

template <class Entry>
class CKeyedArray
{
public:
    // Free for the owner's use (an id, a back pointer, ...). Nothing in the
    // framework reads, writes or frees it; a new array holds null.
    void* userData = nullptr;
    // Storage of `capacity` entries; null while nothing has been allocated.
    Entry* items = nullptr;
    // Entries in use, 0 <= count <= capacity.
    int count = 0;
    int capacity = 0;

    CKeyedArray() = default;
    ~CKeyedArray() { delete[] items; }

    CKeyedArray(const CKeyedArray&) = delete;
    CKeyedArray& operator=(const CKeyedArray&) = delete;

    CKeyedArray(CKeyedArray&& other) noexcept { Swap(other); }
    CKeyedArray& operator=(CKeyedArray&& other) noexcept
    {
        if (this != &other)
        {
            CKeyedArray moved(std::move(other));
            Swap(moved);
        }
        return *this;
    }

    // Grows the storage to n entries when n exceeds the capacity, keeping the
    // entries in use; a smaller n changes nothing. (An array whose fields were
    // set by hand to no storage gets storage whatever its capacity said.)
    void Reserve(int n)
    {
        if (n <= 0 || (items != nullptr && n <= capacity))
            return;
        Entry* grown = new Entry[n];
        const int keep = items == nullptr ? 0 : (count < capacity ? count : capacity);
        for (int i = 0; i < keep; ++i)
            grown[i] = items[i];
        delete[] items;
        items = grown;
        capacity = n;
    }

    // Appends a new entry (key and value 0), growing a full array to twice its
    // capacity (8 when empty), and returns it.
    Entry& Add()
    {
        // Fields set by hand out of range are brought back into it first.
        if (items == nullptr || count < 0)
            count = 0;
        if (count > capacity)
            count = capacity;
        if (count >= capacity || items == nullptr)
            Reserve(NextCapacity());
        items[count] = Entry();
        return items[count++];
    }

    // The capacity the next growth step takes: 8, then doubling.
    int NextCapacity() const
    {
        if (capacity <= 0)
            return 8;
        return capacity > INT_MAX / 2 ? INT_MAX : capacity * 2;
    }

private:
    void Swap(CKeyedArray& other) noexcept
    {
        std::swap(userData, other.userData);
        std::swap(items, other.items);
        std::swap(count, other.count);
        std::swap(capacity, other.capacity);
    }
};
