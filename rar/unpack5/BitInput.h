#pragma once
// Bit reader over a member's packed stream, most significant bit first, with
// absolute bit positions. Bytes past the end of the stream read as zeros;
// Overrun() tells when the reader has gone past the real data.

#include <cstdint>
#include <cstring>
#include <vector>

#include "rar/unpack/Decoder.h"

namespace rar {

class BitInput {
public:
    BitInput() : buf_(kBufSize + kPad, 0) {}

    void Reset(PackedInput* in) {
        in_ = in;
        start_ = 0;
        len_ = 0;
        pos_ = 0;
        eof_ = false;
        error_ = false;
        std::memset(buf_.data(), 0, buf_.size());
    }

    uint64_t pos() const { return pos_; }
    bool error() const { return error_; }
    bool Overrun() const { return eof_ && pos_ > (start_ + len_) * 8; }
    void AlignByte() { pos_ = (pos_ + 7) & ~uint64_t(7); }
    void Skip(unsigned n) { pos_ += n; }

    // Next 16 bits, left aligned in the low 16 bits of the result.
    uint32_t Peek16() {
        const uint8_t* p = At();
        uint32_t v = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        return (v >> (8 - (pos_ & 7))) & 0xFFFF;
    }
    // Reads n (0..57) bits.
    uint64_t Read(unsigned n) {
        if (n == 0) return 0;
        const uint8_t* p = At();
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = v << 8 | p[i];
        v = (v << (pos_ & 7)) >> (64 - n);
        pos_ += n;
        return v;
    }

private:
    static constexpr size_t kBufSize = 1 << 16;
    static constexpr size_t kPad = 16;

    const uint8_t* At() {
        uint64_t byte = pos_ >> 3;
        if (byte < start_) byte = start_;  // cannot happen: positions only grow
        if (byte + 8 > start_ + len_ && !eof_) Refill(byte);
        uint64_t idx = byte - start_;
        if (idx + 8 > buf_.size()) return Zeros();
        return buf_.data() + idx;
    }
    const uint8_t* Zeros() {
        static const uint8_t z[8] = {0};
        return z;
    }
    void Refill(uint64_t byte) {
        uint64_t keepFrom = byte < start_ + len_ ? byte : start_ + len_;
        size_t keep = size_t(start_ + len_ - keepFrom);
        std::memmove(buf_.data(), buf_.data() + (keepFrom - start_), keep);
        start_ = keepFrom;
        len_ = keep;
        while (len_ < kBufSize && !eof_) {
            long got = in_ ? in_->Read(buf_.data() + len_, kBufSize - len_) : 0;
            if (got < 0) { error_ = true; eof_ = true; break; }
            if (got == 0) { eof_ = true; break; }
            len_ += size_t(got);
        }
        std::memset(buf_.data() + len_, 0, buf_.size() - len_);
        // A jump far past the buffered data: skip input up to it.
        while (byte > start_ + len_ && !eof_) {
            start_ += len_;
            len_ = 0;
            Refill(byte);
        }
    }

    PackedInput* in_ = nullptr;
    std::vector<uint8_t> buf_;
    uint64_t start_ = 0;  // absolute offset of buf_[0]
    size_t len_ = 0;
    uint64_t pos_ = 0;    // absolute bit position
    bool eof_ = false;
    bool error_ = false;
};

}  // namespace rar
