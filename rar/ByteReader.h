#pragma once
// Bounded little-endian reading over a byte span. Every read checks the
// remaining length; a short read sets the failed flag and yields zeros, so a
// parser can read a whole record and test ok() once at the end.

#include <cstddef>
#include <cstdint>
#include <string>

namespace rar {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : p_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t left() const { return size_ - pos_; }
    void fail() { ok_ = false; }

    uint8_t u8() { return need(1) ? p_[pos_++] : 0; }
    uint16_t u16() {
        if (!need(2)) return 0;
        uint16_t v = uint16_t(p_[pos_] | p_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    uint32_t u32() {
        if (!need(4)) return 0;
        uint32_t v = uint32_t(p_[pos_]) | uint32_t(p_[pos_ + 1]) << 8 |
                     uint32_t(p_[pos_ + 2]) << 16 | uint32_t(p_[pos_ + 3]) << 24;
        pos_ += 4;
        return v;
    }
    uint64_t u64() {
        uint64_t lo = u32();
        return lo | uint64_t(u32()) << 32;
    }
    // RAR5 variable-length integer: 7 bits per byte, low first, bit 7 set
    // while more bytes follow; at most 10 bytes.
    uint64_t vint() {
        uint64_t v = 0;
        for (unsigned shift = 0; shift < 70; shift += 7) {
            if (!need(1)) return 0;
            uint8_t b = p_[pos_++];
            if (shift < 64) v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        ok_ = false;
        return 0;
    }
    const uint8_t* bytes(size_t n) {
        if (!need(n)) return nullptr;
        const uint8_t* r = p_ + pos_;
        pos_ += n;
        return r;
    }
    void copy(void* dst, size_t n) {
        const uint8_t* s = bytes(n);
        uint8_t* d = static_cast<uint8_t*>(dst);
        for (size_t i = 0; i < n; ++i) d[i] = s ? s[i] : 0;
    }
    void skip(uint64_t n) {
        if (n > left()) { ok_ = false; pos_ = size_; return; }
        pos_ += size_t(n);
    }

private:
    bool need(size_t n) {
        if (!ok_ || n > size_ - pos_) { ok_ = false; return false; }
        return true;
    }
    const uint8_t* p_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace rar
