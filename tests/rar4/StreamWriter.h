#pragma once
// Test-only writer of RAR 2.9 LZ streams with fixed, flat code tables, so that
// tests can state exactly which literals, matches, filters and block ends a
// stream holds.

#include <cstdint>
#include <vector>

namespace rar4test {

class BitWriter {
public:
    void Put(uint32_t value, unsigned bits) {
        for (unsigned i = bits; i-- > 0;) PutBit((value >> i) & 1);
    }
    void PutBit(unsigned b) {
        cur_ = uint8_t((cur_ << 1) | b);
        if (++n_ == 8) Flush();
    }
    void Align() {
        while (n_ != 0) PutBit(0);
    }
    std::vector<uint8_t> Bytes() {
        std::vector<uint8_t> out = bytes_;
        if (n_) out.push_back(uint8_t(cur_ << (8 - n_)));
        return out;
    }

private:
    void Flush() {
        bytes_.push_back(cur_);
        cur_ = 0;
        n_ = 0;
    }
    std::vector<uint8_t> bytes_;
    uint8_t cur_ = 0;
    unsigned n_ = 0;
};

// Every main symbol is 9 bits wide, distance slots 6, low distances and
// repeat lengths 5: a symbol's code is its number.
class Lz29Writer {
public:
    Lz29Writer() { Tables(); }

    void Tables() {
        w.Align();
        w.Put(0, 2);  // LZ block, fresh tables
        for (int i = 0; i < 20; ++i) w.Put(5, 4);  // bit-length code: 5 bits each
        auto lengths = [&](int count, unsigned len) {
            for (int i = 0; i < count; ++i) w.Put(len, 5);  // symbol `len` has code `len`
        };
        lengths(299, 9);
        lengths(60, 6);
        lengths(17, 5);
        lengths(28, 5);
    }
    void Literal(uint8_t b) { w.Put(b, 9); }
    void Literals(const char* s) {
        while (*s) Literal(uint8_t(*s++));
    }
    // A match of length 3.. with a distance that needs no low-distance code (< 0x2000 keeps the length).
    void Match(unsigned length, uint32_t distance) {
        unsigned lslot = LengthSlot(length - 3);
        w.Put(271 + lslot, 9);
        if (kLBits[lslot]) w.Put(length - 3 - kLDecode[lslot], kLBits[lslot]);
        unsigned dslot = DistSlot(distance - 1);
        w.Put(dslot, 6);
        uint32_t extra = distance - 1 - DistBase(dslot);
        unsigned bits = DistBits(dslot);
        if (dslot > 9) {
            if (bits > 4) w.Put(extra >> 4, bits - 4);
            w.Put(extra & 15, 5);
        } else if (bits) {
            w.Put(extra, bits);
        }
    }
    void RepeatLast() { w.Put(258, 9); }
    void EndOfFile(bool newTables = false) {
        w.Put(256, 9);
        w.Put(newTables ? 1 : 0, 2);
    }
    void Filter(const std::vector<uint8_t>& def, uint8_t firstByte) {
        w.Put(257, 9);
        unsigned n = unsigned(def.size());
        if (n <= 6) {
            w.Put((firstByte & ~7u) | (n - 1), 8);
        } else if (n < 7 + 256) {
            w.Put((firstByte & ~7u) | 6, 8);
            w.Put(n - 7, 8);
        } else {
            w.Put((firstByte & ~7u) | 7, 8);
            w.Put(n, 16);
        }
        for (uint8_t b : def) w.Put(b, 8);
    }
    std::vector<uint8_t> Bytes() { return w.Bytes(); }

    BitWriter w;

private:
    static constexpr uint8_t kLDecode[28] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20,
                                             24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
    static constexpr uint8_t kLBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                           2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
    static unsigned LengthSlot(unsigned v) {
        unsigned s = 0;
        while (s + 1 < 28 && kLDecode[s + 1] <= v) ++s;
        return s;
    }
    static unsigned DistBits(unsigned slot) {
        static const uint8_t kCounts[] = {4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 14, 0, 12};
        unsigned s = 0;
        for (unsigned b = 0; b < sizeof(kCounts); ++b)
            for (unsigned j = 0; j < kCounts[b]; ++j, ++s)
                if (s == slot) return b;
        return 0;
    }
    static uint32_t DistBase(unsigned slot) {
        uint32_t d = 0;
        for (unsigned s = 0; s < slot; ++s) d += 1u << DistBits(s);
        return d;
    }
    static unsigned DistSlot(uint32_t v) {
        unsigned s = 0;
        while (s + 1 < 60 && DistBase(s + 1) <= v) ++s;
        return s;
    }
};

// Writes the format's variable-length number into a filter definition.
inline void PutVmNumber(BitWriter& w, uint32_t v) {
    if (v < 16) {
        w.Put(0, 2);
        w.Put(v, 4);
    } else if (v < 256) {
        w.Put(1, 2);
        w.Put(v, 8);
    } else if (v < 0x10000) {
        w.Put(2, 2);
        w.Put(v, 16);
    } else {
        w.Put(3, 2);
        w.Put(v >> 16, 16);
        w.Put(v & 0xffff, 16);
    }
}

}  // namespace rar4test
