#include "filesystem/CacheTable.h"

#include <cstdlib>

void CCacheTable::FreeStorage() {
    std::free(entries);
    entries = nullptr;
    count = 0;
    capacity = 0;
}
