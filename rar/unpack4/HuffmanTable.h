#pragma once
// Canonical prefix-code table of the RAR 1.5-4.x coders.
//
// Code lengths are 0..15; codes are assigned in order of length, then symbol.
// Decoding follows the format's own rules for incomplete tables: a bit pattern
// past the last code of lengths 1..14 is taken as length 15, and a position past
// the symbol list yields the first symbol, so every input decodes to something.

#include <cstdint>

#include "rar/unpack4/BitReader.h"

namespace rar::unpack4 {

// The two run-length steps with which RAR 2.0 and 2.9 send their code-length
// tables: repeat the previous length n times, or write n zero lengths. Both
// stop at the table's end; a repeat with nothing before it is bad data.
inline bool RepeatPreviousLength(uint8_t* table, unsigned& i, unsigned size, unsigned n) {
    if (i == 0) return false;
    for (; n > 0 && i < size; --n, ++i) table[i] = table[i - 1];
    return true;
}

inline void ZeroLengths(uint8_t* table, unsigned& i, unsigned size, unsigned n) {
    for (; n > 0 && i < size; --n) table[i++] = 0;
}

class HuffmanTable {
public:
    static constexpr unsigned kMaxSymbols = 306;
    static constexpr unsigned kQuickBits = 10;

    // Builds the table from `count` code lengths (each 0..15).
    void Build(const uint8_t* lengths, unsigned count);

    unsigned Decode(BitReader& in) const {
        uint32_t bits = in.GetBits() & 0xfffe;
        if (bits < limit_[kQuickBits]) {
            uint32_t code = bits >> (16 - kQuickBits);
            in.AddBits(quickLen_[code]);
            return quickSym_[code];
        }
        unsigned len = 15;
        for (unsigned i = kQuickBits + 1; i < 15; ++i) {
            if (bits < limit_[i]) {
                len = i;
                break;
            }
        }
        in.AddBits(len);
        return Lookup(bits, len);
    }

private:
    unsigned Lookup(uint32_t bits, unsigned len) const {
        uint32_t dist = (bits - limit_[len - 1]) >> (16 - len);
        uint32_t pos = first_[len] + dist;
        if (pos >= count_) pos = 0;
        return symbols_[pos];
    }

    unsigned count_ = 0;
    uint32_t limit_[16] = {};   // left-aligned upper bound of the codes of each length
    uint32_t first_[16] = {};   // index in symbols_ of the first code of each length
    uint16_t symbols_[kMaxSymbols] = {};
    uint8_t quickLen_[1 << kQuickBits] = {};
    uint16_t quickSym_[1 << kQuickBits] = {};
};

}  // namespace rar::unpack4
