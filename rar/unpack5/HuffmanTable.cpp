#include "rar/unpack5/HuffmanTable.h"

namespace rar {

void HuffmanTable::Build(const uint8_t* lengths, unsigned n, unsigned quickBits) {
    unsigned count[16] = {0};
    for (unsigned i = 0; i < n; ++i) count[lengths[i] & 15]++;
    count[0] = 0;
    uint64_t upper = 0;
    limit_[0] = 0;
    start_[0] = 0;
    for (unsigned len = 1; len < 16; ++len) {
        upper += count[len];
        const uint64_t l = upper << (16 - len);
        limit_[len] = l > 0x10000 ? 0x10000 : uint32_t(l);  // over-full tables stay bounded
        upper <<= 1;
        start_[len] = start_[len - 1] + count[len - 1];
    }
    symbols_.assign(n, 0);
    unsigned next[16];
    for (unsigned len = 0; len < 16; ++len) next[len] = start_[len];
    for (unsigned i = 0; i < n; ++i) {
        const unsigned len = lengths[i] & 15;
        if (len != 0 && next[len] < n) symbols_[next[len]++] = uint16_t(i);
    }
    quickBits_ = quickBits;
    quickSym_.assign(size_t(1) << quickBits, 0);
    quickLen_.assign(size_t(1) << quickBits, 0);
    for (uint32_t code = 0; code < (1u << quickBits); ++code) {
        const uint32_t bits = code << (16 - quickBits);
        unsigned len = 1;
        while (len < 16 && bits >= limit_[len]) ++len;
        if (len > quickBits) { quickLen_[code] = uint8_t(quickBits); continue; }
        const uint32_t pos = start_[len] + ((bits - limit_[len - 1]) >> (16 - len));
        quickLen_[code] = uint8_t(len);
        quickSym_[code] = pos < n ? symbols_[pos] : 0;
    }
}

}  // namespace rar
