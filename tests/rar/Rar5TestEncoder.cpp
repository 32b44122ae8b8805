#include "Rar5TestEncoder.h"

#include <algorithm>

namespace rartest {

namespace {
// Uniform code lengths: code of symbol s is s itself in that many bits.
constexpr unsigned kMainBits = 9, kDistBits = 6, kLowBits = 4, kRepBits = 6, kBcBits = 5;
constexpr unsigned kNC = 306, kDC = 64, kLDC = 16, kRC = 44;

unsigned HighBit(uint64_t v) {
    unsigned b = 0;
    while (v >>= 1) ++b;
    return b;
}
}  // namespace

void Rar5TestEncoder::Bits(uint64_t value, unsigned count) {
    for (unsigned i = count; i > 0; --i) bits_.push_back(uint8_t((value >> (i - 1)) & 1));
}

void Rar5TestEncoder::Literal(uint8_t b) {
    Bits(b, kMainBits);
    EndSymbol();
}

void Rar5TestEncoder::Match(uint32_t length, uint64_t distance) {
    uint32_t coded = length;
    if (distance > 0x100) --coded;
    if (distance > 0x2000) --coded;
    if (distance > 0x40000) --coded;
    // Length slot.
    uint32_t v = coded - 2;
    unsigned slot, lbits = 0;
    uint32_t lextra = 0;
    if (v < 8) {
        slot = v;
    } else {
        unsigned hb = HighBit(v);
        lbits = hb - 2;
        unsigned mid = (v >> lbits) & 3;
        slot = 4 * (lbits + 1) + mid;
        lextra = v - ((4u | mid) << lbits);
    }
    Bits(262 + slot, kMainBits);
    if (lbits) Bits(lextra, lbits);
    // Distance slot.
    uint64_t d = distance - 1;
    if (d < 4) {
        Bits(d, kDistBits);
        EndSymbol();
        return;
    }
    unsigned hb = HighBit(d);
    unsigned dbits = hb - 1;
    unsigned low = unsigned((d >> dbits) & 1);
    Bits(2 * (dbits + 1) + low, kDistBits);
    uint64_t extra = d - (uint64_t(2 | low) << dbits);
    if (dbits >= 4) {
        Bits(extra >> 4, dbits - 4);
        Bits(extra & 15, kLowBits);
    } else {
        Bits(extra, dbits);
    }
    EndSymbol();
}

void Rar5TestEncoder::RepeatLast() {
    Bits(257, kMainBits);
    EndSymbol();
}

void Rar5TestEncoder::DeltaFilter(uint32_t length, unsigned channels) {
    Bits(256, kMainBits);
    auto number = [this](uint32_t n) {
        Bits(3, 2);  // four bytes
        for (int i = 0; i < 4; ++i) Bits((n >> (8 * i)) & 0xFF, 8);
    };
    number(0);
    number(length);
    Bits(0, 3);  // DELTA
    Bits(channels - 1, 5);
    EndSymbol();
}

std::vector<uint8_t> Rar5TestEncoder::DeltaEncode(const std::vector<uint8_t>& plain, unsigned channels) {
    std::vector<uint8_t> out;
    for (unsigned ch = 0; ch < channels; ++ch) {
        uint8_t prev = 0;
        for (size_t j = ch; j < plain.size(); j += channels) {
            out.push_back(uint8_t(prev - plain[j]));
            prev = plain[j];
        }
    }
    return out;
}

std::vector<uint8_t> Rar5TestEncoder::Finish(size_t maxBlock) {
    // Tables: 20 bit-length code lengths of 5 bits, then every length coded directly.
    std::vector<uint8_t> tables;
    auto put = [&tables](uint64_t v, unsigned n) {
        for (unsigned i = n; i > 0; --i) tables.push_back(uint8_t((v >> (i - 1)) & 1));
    };
    for (int i = 0; i < 20; ++i) put(kBcBits, 4);
    for (unsigned i = 0; i < kNC; ++i) put(kMainBits, kBcBits);
    for (unsigned i = 0; i < kDC; ++i) put(kDistBits, kBcBits);
    for (unsigned i = 0; i < kLDC; ++i) put(kLowBits, kBcBits);
    for (unsigned i = 0; i < kRC; ++i) put(kRepBits, kBcBits);

    std::vector<uint8_t> all = tables;
    all.insert(all.end(), bits_.begin(), bits_.end());
    std::vector<uint8_t> out;
    size_t at = 0, nextEnd = 0;
    bool first = true;
    do {
        // The longest run of whole symbols that fits the block size.
        size_t limit = at + maxBlock * 8, cut = first ? tables.size() : at;
        while (nextEnd < ends_.size() && tables.size() + ends_[nextEnd] <= limit) cut = tables.size() + ends_[nextEnd++];
        if (cut == at && nextEnd < ends_.size()) cut = tables.size() + ends_[nextEnd++];
        if (nextEnd == ends_.size()) cut = all.size();
        size_t take = cut - at;
        const bool last = at + take == all.size();
        size_t bytes = (take + 7) / 8;
        if (bytes == 0) bytes = 1;
        unsigned lastBits = unsigned(take - (bytes - 1) * 8);
        if (take == 0) lastBits = 1;  // an empty block still has one (unused) bit
        unsigned byteCount = bytes < 0x100 ? 1 : bytes < 0x10000 ? 2 : 3;
        unsigned flags = (lastBits - 1) | ((byteCount - 1) << 3) | (last ? 0x40 : 0) | (first ? 0x80 : 0);
        unsigned check = 0x5A ^ flags ^ unsigned(bytes) ^ unsigned(bytes >> 8) ^ unsigned(bytes >> 16);
        out.push_back(uint8_t(flags));
        out.push_back(uint8_t(check));
        for (unsigned i = 0; i < byteCount; ++i) out.push_back(uint8_t(bytes >> (8 * i)));
        size_t base = out.size();
        out.resize(base + bytes, 0);
        for (size_t i = 0; i < take; ++i)
            if (all[at + i]) out[base + i / 8] |= uint8_t(0x80 >> (i % 8));
        at += take;
        first = false;
    } while (at < all.size());
    bits_.clear();
    ends_.clear();
    return out;
}

}  // namespace rartest
