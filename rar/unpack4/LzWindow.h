#pragma once
// Sliding dictionary shared by the RAR 1.5-4.x coders, with the accounting of
// how many bytes of the current member went to the output.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "rar/unpack/Decoder.h"

namespace rar::unpack4 {

class LzWindow {
public:
    // size must be a power of two.
    explicit LzWindow(size_t size) : size_(size), mask_(size - 1) {}

    // Allocates on first use; a fresh (non-solid) member starts from zeros.
    bool Prepare(bool solid) {
        if (buf_.empty()) {
            try {
                buf_.assign(size_, 0);
            } catch (...) {
                return false;
            }
            used_ = 0;
        } else if (!solid && used_ != 0) {
            std::memset(buf_.data(), 0, used_);
            used_ = 0;
        }
        if (!solid) unpPtr = wrPtr = 0;
        startPtr_ = unpPtr;
        return true;
    }
    // Records how far the member's `decoded` bytes reached, for the next reset.
    void Finish(uint64_t decoded) {
        uint64_t end = uint64_t(startPtr_) + decoded;
        if (end >= size_)
            used_ = size_;
        else if (end > used_)
            used_ = size_t(end);
    }

    uint8_t* Data() { return buf_.data(); }
    size_t Size() const { return size_; }
    size_t Mask() const { return mask_; }

    void PutByte(uint8_t b) {
        buf_[unpPtr] = b;
        unpPtr = (unpPtr + 1) & mask_;
    }
    void Copy(uint32_t length, size_t distance) {
        size_t src = (unpPtr - distance) & mask_;
        uint8_t* w = buf_.data();
        if (src + length < size_ && unpPtr + length < size_) {
            // No wrap-around: byte by byte keeps overlapping copies right.
            uint8_t* d = w + unpPtr;
            const uint8_t* s = w + src;
            for (uint32_t i = 0; i < length; ++i) d[i] = s[i];
            unpPtr += length;
        } else {
            for (uint32_t i = 0; i < length; ++i) {
                w[unpPtr] = w[src];
                src = (src + 1) & mask_;
                unpPtr = (unpPtr + 1) & mask_;
            }
        }
    }

    size_t unpPtr = 0;  // next byte to decode
    size_t wrPtr = 0;   // next byte to hand to the output

private:
    std::vector<uint8_t> buf_;
    size_t size_;
    size_t mask_;
    size_t used_ = 0;  // bytes that may be non-zero
    size_t startPtr_ = 0;
};

// Limits what reaches the output to the member's unpacked size.
class OutputLimiter {
public:
    void Start(UnpackedOutput* out, uint64_t size) {
        out_ = out;
        size_ = size;
        written_ = 0;
        stopped_ = false;
    }
    // Counts all n bytes (overshoot included) but passes on only those within size.
    void Write(const uint8_t* p, size_t n) {
        if (written_ < size_ && !stopped_) {
            uint64_t left = size_ - written_;
            size_t w = n > left ? size_t(left) : n;
            if (w > 0 && !out_->Write(p, w)) stopped_ = true;
        }
        written_ += n;
    }
    uint64_t Written() const { return written_; }
    uint64_t Size() const { return size_; }
    bool Done() const { return written_ >= size_; }
    bool Stopped() const { return stopped_; }

private:
    UnpackedOutput* out_ = nullptr;
    uint64_t size_ = 0;
    uint64_t written_ = 0;
    bool stopped_ = false;
};

}  // namespace rar::unpack4
