#pragma once
// Buffered reader over a member's packed bytes for the RAR 1.5-4.x coders.
//
// The coders read the stream most-significant bit first, peeking 16 bits at a
// time, and the PPMd part reads whole bytes. The buffer keeps zero padding
// past the valid data so that a peek near the end never reads out of bounds;
// reading past the end only raises Overrun(), which the coders check once per
// symbol. Refill() must be called before decoding when NeedRefill() says so.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rar/unpack/Decoder.h"

namespace rar::unpack4 {

class BitReader {
public:
    static constexpr size_t kBufSize = 0x8000;
    static constexpr size_t kPad = 64;

    BitReader() : buf_(kBufSize + kPad, 0) {}

    // Starts reading a new member (bit position and buffer reset).
    void Reset(PackedInput* in) {
        in_ = in;
        pos_ = top_ = 0;
        bit_ = 0;
        eof_ = error_ = false;
        Refill();
    }

    // True when fewer than `margin` unread bytes are buffered and more may come.
    bool NeedRefill(size_t margin = 32) const { return !eof_ && pos_ + margin > top_; }

    // Moves unread bytes to the front and reads more packed data.
    void Refill();

    // 16 bits from the current position, most significant first.
    uint32_t GetBits() const {
        const uint8_t* p = &buf_[pos_];
        uint32_t v = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
        return (v >> (8 - bit_)) & 0xffff;
    }
    // 32 bits from the current position.
    uint32_t GetBits32() const {
        const uint8_t* p = &buf_[pos_];
        uint32_t v = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
        v <<= bit_;
        v |= uint32_t(p[4]) >> (8 - bit_);
        return v;
    }
    void AddBits(unsigned n) {
        n += bit_;
        pos_ += n >> 3;
        bit_ = n & 7;
        Clamp();
    }
    // Skips to the next byte boundary.
    void AlignToByte() {
        if (bit_ != 0) {
            bit_ = 0;
            ++pos_;
            Clamp();
        }
    }
    // Next whole byte (the range coder reads bytes; the position is byte aligned there).
    int GetByte() {
        if (pos_ >= top_ && !eof_) Refill();
        if (pos_ >= top_) {
            // Past the end: count the overrun and hand out zeros.
            if (pos_ < top_ + kPad / 2) ++pos_;
            return 0;
        }
        return buf_[pos_++];
    }

    // The stream consumed more bytes than the member holds.
    bool Overrun() const { return eof_ && pos_ > top_; }
    bool ReadError() const { return error_; }
    size_t Buffered() const { return pos_ < top_ ? top_ - pos_ : 0; }
    bool AtEnd() const { return eof_ && pos_ >= top_; }
    unsigned BitOffset() const { return bit_; }

private:
    void Clamp() {
        // Never let the position wander past the zero padding.
        if (pos_ > top_ + kPad / 2) pos_ = top_ + kPad / 2;
    }

    PackedInput* in_ = nullptr;
    std::vector<uint8_t> buf_;
    size_t pos_ = 0;
    size_t top_ = 0;
    unsigned bit_ = 0;
    bool eof_ = false;
    bool error_ = false;
};

}  // namespace rar::unpack4
