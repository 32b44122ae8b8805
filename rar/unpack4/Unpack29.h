#pragma once
// The RAR 2.9/3.x coder (UnpVer 29 and 36).
//
// The stream is a sequence of blocks. An LZ block starts with its prefix-code
// tables (a small code for the code lengths, then the lengths of the literal/
// length, distance, low-distance and repeat-length codes, optionally as deltas
// to the previous tables); a PPMd block starts with the model header. Either
// kind can switch to the other mid-member. LZ symbols are literals, matches
// with a four-entry cache of recent distances, and commands: end of block,
// filter definition. Filters transform ranges of the output after decoding.

#include <cstdint>
#include <vector>

#include "rar/unpack/Decoder.h"
#include "rar/unpack4/BitReader.h"
#include "rar/unpack4/Filters29.h"
#include "rar/unpack4/HuffmanTable.h"
#include "rar/unpack4/LzWindow.h"
#include "rar/unpack4/PpmdModel.h"

namespace rar::unpack4 {

class Unpack29 final : public Decoder {
public:
    static constexpr size_t kMaxWindow = 0x400000;

    // windowSize: a power of two, at most kMaxWindow.
    explicit Unpack29(size_t windowSize = kMaxWindow);
    DecodeResult Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) override;

private:
    static constexpr unsigned kNC = 299, kDC = 60, kLDC = 17, kRC = 28, kBC = 20;
    static constexpr unsigned kTableSize = kNC + kDC + kLDC + kRC;
    static constexpr size_t kMaxFilters = 1024;

    struct PendingFilter {
        bool used = false;
        bool nextWindow = false;
        uint32_t blockStart = 0;
        uint32_t blockLength = 0;
        FilterType type = FilterType::None;
        uint32_t r[7] = {};
    };

    void ResetState();
    void InitFilters(bool keepDefinitions);
    bool Run(bool solid);
    bool ReadTables();
    bool ReadEndOfBlock(bool& fileEnd);
    bool ReadFilterLz();
    bool ReadFilterPpm();
    bool AddFilter(unsigned firstByte, const uint8_t* code, size_t size);
    void InsertOldDist(uint32_t d) {
        oldDist_[3] = oldDist_[2];
        oldDist_[2] = oldDist_[1];
        oldDist_[1] = oldDist_[0];
        oldDist_[0] = d;
    }
    void CopyString(uint32_t length, uint32_t distance) { window_.Copy(length, distance); }
    void WriteBuf();
    void WriteArea(size_t start, size_t end);
    int PpmChar();

    BitReader in_;
    LzWindow window_;
    OutputLimiter out_;
    PpmdModel ppm_;

    HuffmanTable ld_, dd_, ldd_, rd_, bd_;
    uint8_t oldTable_[kTableSize] = {};
    uint32_t oldDist_[4] = {};
    uint32_t lastLength_ = 0;
    uint32_t prevLowDist_ = 0;
    unsigned lowDistRepCount_ = 0;
    bool tablesRead_ = false;
    bool ppmBlock_ = false;
    int ppmEscChar_ = 2;

    std::vector<FilterType> filterTypes_;
    std::vector<uint32_t> oldFilterLengths_;
    std::vector<PendingFilter> stack_;
    unsigned lastFilter_ = 0;
    std::vector<uint8_t> filterMem_;

    bool failed_ = false;       // bad data seen in this member
    bool unsupported_ = false;  // a filter program we do not know
    bool poisoned_ = false;     // state unusable for a following solid member
};

}  // namespace rar::unpack4
