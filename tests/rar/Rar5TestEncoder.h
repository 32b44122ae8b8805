#pragma once
// A deliberately simple RAR5 stream writer for tests and benchmarks: fixed
// uniform Huffman codes, literals, matches at caller-chosen distances and
// DELTA filters. It lets the decoder be exercised on large members, window
// growth and wrap-around, solid streams and filters, which the small real
// fixtures do not reach.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rartest {

class Rar5TestEncoder {
public:
    void Literal(uint8_t b);
    // A copy of length bytes from distance bytes back; length must be at
    // least 3, 4 or 5 for distances above 0x100, 0x2000 or 0x40000.
    void Match(uint32_t length, uint64_t distance);
    // Repeats the match before with the same distance (symbol 257).
    void RepeatLast();
    // DELTA filter over the next `length` bytes: the caller then emits the
    // filtered form, which DeltaEncode produces.
    void DeltaFilter(uint32_t length, unsigned channels);
    static std::vector<uint8_t> DeltaEncode(const std::vector<uint8_t>& plain, unsigned channels);
    // The packed stream: blocks of at most maxBlock bytes, tables in the first.
    std::vector<uint8_t> Finish(size_t maxBlock = 1 << 20);

private:
    void Bits(uint64_t value, unsigned count);
    void EndSymbol() { ends_.push_back(bits_.size()); }
    std::vector<uint8_t> bits_;  // one entry per bit, flattened at the end
    std::vector<size_t> ends_;   // bit positions where a symbol ends: blocks end only there
};

}  // namespace rartest
