#pragma once
// Canonical Huffman decoding table (code lengths 0..15), as the RAR5 coder
// uses it: codes are assigned by increasing length, then by symbol.

#include <cstdint>
#include <vector>

#include "rar/unpack5/BitInput.h"

namespace rar {

class HuffmanTable {
public:
    // lengths[i] in 0..15 for each of the n symbols.
    void Build(const uint8_t* lengths, unsigned n, unsigned quickBits);
    unsigned Decode(BitInput& in) const {
        const uint32_t bits = in.Peek16() & 0xFFFE;
        if (bits < limit_[quickBits_]) {
            const uint32_t q = bits >> (16 - quickBits_);
            in.Skip(quickLen_[q]);
            return quickSym_[q];
        }
        unsigned len = quickBits_ + 1;
        while (len < 15 && bits >= limit_[len]) ++len;
        in.Skip(len);
        const uint32_t pos = start_[len] + ((bits - limit_[len - 1]) >> (16 - len));
        return pos < symbols_.size() ? symbols_[pos] : 0;
    }

private:
    uint32_t limit_[16] = {};  // left-aligned 16-bit upper bound of codes of each length
    uint32_t start_[16] = {};  // index in symbols_ of the first code of each length
    std::vector<uint16_t> symbols_;
    unsigned quickBits_ = 1;
    std::vector<uint16_t> quickSym_;
    std::vector<uint8_t> quickLen_;
};

}  // namespace rar
