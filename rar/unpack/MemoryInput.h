#pragma once
// Packed bytes held in memory, handed to a decoder optionally in small pieces
// (so refills in the middle of a symbol get exercised). Used by the tests,
// benchmarks and anything else that decodes a stream it already holds.

#include <cstring>
#include <vector>

#include "rar/unpack/Decoder.h"

namespace rar {

class MemoryInput final : public PackedInput {
public:
    // piece 0: as much as each Read asks for. The bytes must outlive the input.
    explicit MemoryInput(const std::vector<uint8_t>& bytes, size_t piece = 0)
        : data_(bytes.data()), size_(bytes.size()), piece_(piece) {}

    long Read(uint8_t* dst, size_t n) override {
        if (piece_ != 0 && n > piece_) n = piece_;
        if (n > size_ - pos_) n = size_ - pos_;
        if (n) std::memcpy(dst, data_ + pos_, n);
        pos_ += n;
        return long(n);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    size_t pos_ = 0;
};

}  // namespace rar
