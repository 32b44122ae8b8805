#include "rar/unpack4/HuffmanTable.h"

#include <cstring>

namespace rar::unpack4 {

void HuffmanTable::Build(const uint8_t* lengths, unsigned count) {
    if (count > kMaxSymbols) count = kMaxSymbols;
    count_ = count;
    unsigned lenCount[16] = {};
    for (unsigned i = 0; i < count; ++i) lenCount[lengths[i] & 15]++;
    lenCount[0] = 0;

    std::memset(symbols_, 0, sizeof(symbols_));
    limit_[0] = 0;
    first_[0] = 0;
    uint32_t upper = 0;
    for (unsigned len = 1; len < 16; ++len) {
        upper += lenCount[len];
        limit_[len] = upper << (16 - len);
        upper *= 2;
        first_[len] = first_[len - 1] + lenCount[len - 1];
    }
    // Symbols sorted by length, then by value.
    unsigned next[16];
    std::memcpy(next, first_, sizeof(next));
    for (unsigned i = 0; i < count; ++i) {
        unsigned len = lengths[i] & 15;
        if (len != 0) symbols_[next[len]++] = uint16_t(i);
    }
    // Direct lookup for the short codes.
    unsigned len = 1;
    for (uint32_t code = 0; code < (1u << kQuickBits); ++code) {
        uint32_t bits = code << (16 - kQuickBits);
        while (len < kQuickBits && bits >= limit_[len]) ++len;
        quickLen_[code] = uint8_t(len);
        quickSym_[code] = uint16_t(bits < limit_[kQuickBits] ? Lookup(bits, len) : 0);
    }
}

}  // namespace rar::unpack4
